# Shared by the bundle's script tests, sourced with the arguments BUNDLE VSTHOST VST_PLUGIN
# WORK_FOLDER: the arguments, a failure count, and an LV2 path holding the bundle alone.
bundle=$1 vsthost=$2 vst=$3 work=$4
uri=urn:ostravelk:dranvelor
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/path"
ln -s "$bundle" "$work/path/Dranvelor.lv2"
export LV2_PATH="$work/path"
