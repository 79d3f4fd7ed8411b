#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the test suite; any report fails the run. The whole-program runs in an
# X session, a browser or under a screen reader (label "session") are left
# out: minutes of waiting on windows, through code the other tests reach.
exec bash "$(dirname "$0")/test.sh" asan
