# Shared by the release checks: check DESCRIPTION COMMAND... runs the command, reports
# "ok: DESCRIPTION" or "FAILED: DESCRIPTION" and counts the failures.
failures=0

check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
