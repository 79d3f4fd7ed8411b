#!/usr/bin/env bash
# Line coverage of the test suite: a table for the rules library (catalogue,
# price-list reader, cart, numbers, money format, Find Price) and one for the
# screens. Fails when the rules library falls below 95% of its lines.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh" gcovr
cd "$root"
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage >/dev/null

rules='src/(catalogue/(catalogue|pricefile|pricecheck)\.cpp|catalogue/(errors|int16|slots|catalogue|pricefile)\.h|cart/(cart|money)\.(cpp|h)|selection/pricelookup\.(cpp|h))'
screens='src/(ui|menu|app)/|src/selection/(selectionscreen|categories)|src/cart/invoicescreen|src/cart/shop'

echo "== The rules library =="
gcovr -r "$root" build/coverage --filter "$rules" --txt --fail-under-line 95
echo
echo "== The screens =="
gcovr -r "$root" build/coverage --filter "$screens" --txt
