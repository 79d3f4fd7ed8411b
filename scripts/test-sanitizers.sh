#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite; any report fails the run.
exec bash "$(dirname "$0")/test.sh" asan
