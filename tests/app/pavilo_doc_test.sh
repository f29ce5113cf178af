#!/usr/bin/env bash
# pavilo-doc dump and convert from the command line: exit codes, messages,
# byte-exact round trips and the safe save of convert.
# usage: pavilo_doc_test.sh PAVILO_DOC SAMPLES_DIR WORK_DIR
set -u
doc=$1 samples=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
failures=0 passed=0
check() { # name, then a command that must succeed
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

# dump: one JSON object with the version read and the node tree.
"$doc" dump "$samples/Tour.pvp" > "$work/tour.json"; rc=$?
check "dump exits 0" test $rc -eq 0
check "dump starts with the version" grep -q '^{"Version":8,"Node":{"Class":"TFileNode"' "$work/tour.json"
if command -v python3 >/dev/null; then
  check "dump is valid JSON" python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$work/tour.json"
fi

# Failures: status 1 and the loader's message alone; usage errors status 2.
printf 'not a document' > "$work/x.pvp"
"$doc" dump "$work/x.pvp" > /dev/null 2> "$work/err"; rc=$?
check "not a document exits 1" test $rc -eq 1
check "not a document message" test "$(cat "$work/err")" = "'x.pvp' is not a PaviloPro file"
printf '\x06\x04PV10' > "$work/new.pvp"
"$doc" dump "$work/new.pvp" > /dev/null 2> "$work/err"
check "newer version message" test "$(cat "$work/err")" = "'new.pvp' has been saved with a more recent version of Pavilo"
"$doc" dump > /dev/null 2>&1; rc=$?
check "missing argument exits 2" test $rc -eq 2
"$doc" convert a b --bogus > /dev/null 2>&1; rc=$?
check "unknown option exits 2" test $rc -eq 2

# convert --keep-provenance gives the same bytes.
for f in Tour.pvp Toolbox.pvt; do
  "$doc" convert "$samples/$f" "$work/kept-$f" --keep-provenance
  check "round trip of $f" cmp -s "$samples/$f" "$work/kept-$f"
done

# Without the flag the provenance is restamped by the running program.
perl -pe 's/\x06\x06Pavilo\x06/\x06\x06Othero\x06/' "$samples/Tour.pvp" > "$work/other.pvp"
check "fixture carries other provenance" grep -q Othero "$work/other.pvp"
"$doc" convert "$work/other.pvp" "$work/kept.pvp" --keep-provenance
check "provenance kept with the flag" grep -q Othero "$work/kept.pvp"
"$doc" convert "$work/other.pvp" "$work/stamped.pvp"
check "provenance restamped" sh -c "! grep -q Othero '$work/stamped.pvp' && grep -q Pavilo '$work/stamped.pvp'"

# Saving over an existing document keeps it as OUT-name.bak; no .tmp stays.
cp "$work/other.pvp" "$work/out.pvp"
"$doc" convert "$samples/Tour.pvp" "$work/out.pvp" --keep-provenance; rc=$?
check "convert over a document exits 0" test $rc -eq 0
check "previous document kept as .bak" cmp -s "$work/other.pvp" "$work/out.bak"
check "no .tmp remains" test ! -e "$work/out.tmp"
check "new document in place" cmp -s "$samples/Tour.pvp" "$work/out.pvp"

# A failed save: status 1, the message, and OUT as it was.
mkdir -p "$work/busy.tmp/inside"
cp "$work/other.pvp" "$work/busy.pvp"
"$doc" convert "$samples/Tour.pvp" "$work/busy.pvp" 2> "$work/err"; rc=$?
check "failed save exits 1" test $rc -eq 1
check "failed save message" test "$(cat "$work/err")" = "Failed to save file"
check "failed save leaves OUT" cmp -s "$work/other.pvp" "$work/busy.pvp"

echo "$passed passed, $failures failed"
test $failures -eq 0
