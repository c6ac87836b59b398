#!/usr/bin/env bash
# The bundle in Debian's LV2 tools: the validator finds no error, lv2info sees the ports and the
# preset, and lv2apply renders what vsthost renders through Dranvelor.so, sample for sample, at
# 44.1, 96 and 192 kHz, with no display: the sound's binary needs no X11 and carries no toolkit.
#   lv2_tools_test.sh BUNDLE VSTHOST VST_PLUGIN WORK_FOLDER
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bundle_setup.sh"
# The bundle and the LV2 specifications the validator and lilv read the classes from.
export LV2_PATH="$LV2_PATH:/usr/lib/lv2"

validation=$(lv2_validate "$bundle"/*.ttl 2>&1)
grep -q 'Found 0 errors' <<<"$validation" || fail "lv2_validate: $(grep -i error <<<"$validation" | head -5)"

info=$(lv2info "$uri" 2>&1)
# Each port lists its two types on two lines, in either order.
ports=$(awk '/^\tPort [0-9]+:/{p=$2} /#(Input|Output|Audio|Control)Port/{t[p]=t[p] $0} END{for (k in t) print t[k]}' <<<"$info")
[ "$(grep 'InputPort' <<<"$ports" | grep -c 'AudioPort')" -eq 1 ] || fail "lv2info: not 1 audio input"
[ "$(grep 'OutputPort' <<<"$ports" | grep -c 'AudioPort')" -eq 1 ] || fail "lv2info: not 1 audio output"
[ "$(grep 'InputPort' <<<"$ports" | grep -c 'ControlPort')" -eq 4 ] || fail "lv2info: not 4 control inputs"
presets=$(sed -n '/Presets:/,/^$/p' <<<"$info" | grep -vc -e 'Presets:' -e '^$')
# The 16 programs are one and the same: one preset.
[ "$presets" -eq 1 ] || fail "lv2info: $presets presets, not 1"
grep -q 'Class: *Distortion' <<<"$info" || fail "lv2info: not a distortion plug-in: $(grep Class: <<<"$info")"
grep -q 'Author: *Ostravelk' <<<"$info" || fail "lv2info: no vendor"
! grep -q 'Required Features' <<<"$info" || fail "lv2info: the plug-in requires a feature"

! objdump -p "$bundle/Dranvelor.so" | grep -q 'NEEDED.*libX11' || fail "Dranvelor.so needs X11"
# The window's binary carries the toolkit and the 19 MB skin, the sound's neither.
for table in --dynamic --debug-syms; do
  symbols=$(nm -C "$table" "$bundle/Dranvelor.so") || fail "nm $table"
  ! grep -q 'VSTGUI::' <<<"$symbols" || fail "Dranvelor.so names the toolkit (nm $table)"
done
strip -o "$work/sound-stripped.so" "$bundle/Dranvelor.so" || fail "strip"
size=$(stat -c %s "$work/sound-stripped.so")
[ "$size" -lt 2000000 ] || fail "Dranvelor.so is $size bytes stripped"

"$vsthost" demo "$work/dry.wav" >/dev/null || fail "vsthost demo"
for rate in 44100 96000 192000; do
  in="$work/in-$rate.wav"
  sox "$work/dry.wav" -e floating-point -b 32 -r "$rate" "$in" || { fail "sox at $rate"; continue; }
  "$vsthost" render "$vst" "$in" "$work/vst-$rate.wav" --set Drive=0.85 --set Tone=0.3 \
    --set Level=0.6 --set Bypass=0 >/dev/null || fail "vsthost render at $rate"
  env -u DISPLAY lv2apply -i "$in" -o "$work/lv2-$rate.wav" -c drive 0.85 -c tone 0.3 -c level 0.6 \
    -c bypass 0 "$uri" || fail "lv2apply at $rate"
  for kind in in vst lv2; do
    sox -V1 "$work/$kind-$rate.wav" -t f32 "$work/$kind-$rate.f32" || fail "sox $kind at $rate"
  done
  cmp -s "$work/vst-$rate.f32" "$work/lv2-$rate.f32" || fail "lv2apply and vsthost differ at $rate Hz"
  ! cmp -s "$work/in-$rate.f32" "$work/lv2-$rate.f32" || fail "lv2apply passed the audio through at $rate Hz"
done

[ "$failures" -eq 0 ] && echo "the LV2 tools agree with the bundle"
exit $((failures > 0))
