# expect.sh: sourced by the shell-script tests.
#   expect WHAT EXPECTED ACTUAL   compares two texts; when they differ it names
#                                 the value and shows both, and the test fails
#   finish                        exits 1 if any expect failed, else 0

failures=0

expect() {
  if [[ "$2" != "$3" ]]; then
    printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3" >&2
    failures=$((failures + 1))
  fi
}

finish() {
  if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  exit 0
}
