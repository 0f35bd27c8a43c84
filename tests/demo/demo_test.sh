#!/usr/bin/env bash
# The demo as a vendor runs it, on two media:
#   demo_test.sh sample <demo.sh> <build-dir> <out-dir>
#       the sample medium at 640 x 480, reported in Japanese: everything
#       fits (exit 0), no line tight, every picture and the contact sheet
#       written, the sample left untouched
#   demo_test.sh cut <demo.sh> <build-dir> <out-dir>
#       a medium whose third text line, caption and big title are too long,
#       reported in English: exit 1, exactly those three named, the big
#       title cut at 640 and 800 pixels wide but not at 1024
set -u
mode=$1 demo=$2 build=$3 out=$4
failed=0
fail() { echo "FAIL: $*"; failed=1; }
rm -rf "$out"
mkdir -p "$out"

# "r,g,b", each 0-255, the mean of a 40 x 40 square of a picture about x, y.
mean() {
    convert "$1" -crop "40x40+$(($2 - 20))+$(($3 - 20))" +repage \
        -format '%[fx:int(255*mean.r)],%[fx:int(255*mean.g)],%[fx:int(255*mean.b)]' info:
}
# A window's grey face with its text, not the backdrop's ramp (red and
# green 0).
is_window() { local r g b; IFS=, read -r r g b <<<"$1"; [ "$r" -gt 120 ] && [ "$g" -gt 120 ] && [ "$b" -gt 120 ]; }
is_ramp() { local r g b; IFS=, read -r r g b <<<"$1"; [ "$r" -lt 16 ] && [ "$g" -lt 16 ]; }

# Each picture: the backdrop at its corners, a window at its middle.
check_pictures() {
    local width=$1 height=$2 name picture
    for name in settings copy message; do
        picture=$(ls "$out"/[0-9][0-9]-$name.png 2>/dev/null | head -n 1)
        [ -n "$picture" ] || { fail "no picture of the $name window"; continue; }
        [ "$(identify -format '%wx%h' "$picture")" = "${width}x$height" ] ||
            fail "$picture is not ${width}x$height"
        is_ramp "$(mean "$picture" 20 $((height - 20)))" || fail "$picture: no backdrop in its corner"
        is_window "$(mean "$picture" $((width / 2)) $((height / 2)))" ||
            fail "$picture: no window in the middle of the screen"
    done
    [ -s "$out/contact-sheet.png" ] || fail "no contact sheet"
}

case $mode in
sample)
    medium=$(cd "$(dirname "$0")/../../examples/medium" && pwd)
    before=$(cd "$medium" && find . -printf '%p %s %T@ %m\n' | sort)
    report=$(LC_ALL=ja_JP.UTF-8 "$demo" --built "$build" --out "$out" --screen 640x480 2>&1)
    code=$?
    report=${report//$'\r'/}   # the driver is a Windows console program
    printf '%s\n' "$report"
    [ $code -eq 0 ] || fail "the sample does not fit: exit $code"
    printf '%s\n' "$report" | grep -q '^すべて収まります。$' || fail "no line saying that everything fits"
    printf '%s\n' "$report" | grep -q 'ぎりぎり' && fail "a line of the sample is tight"
    check_pictures 640 480
    [ "$(cd "$medium" && find . -printf '%p %s %T@ %m\n' | sort)" = "$before" ] ||
        fail "the demo changed the sample medium"
    ;;
cut)
    medium=$out/medium
    mkdir -p "$medium"
    iconv -f UTF-8 -t CP932 >"$medium/setup.ini" <<'INI'
[init]
BigTitle=ぺるもら サンプル製品 1.0
Title=ぺるもら サンプル製品 セットアップ プログラム バージョン 1.0 ― とても長いキャプション
msga=一行目は収まります。
msgc=三行目は長すぎるので、ダイアログの右の端で切れてしまいます。
CopyDir=PelmoraCut
[Install]
readme.txt
INI
    printf 'readme\r\n' >"$medium/readme.txt"
    report=$(LC_ALL=C LANG=C "$demo" --built "$build" --out "$out/shots" "$medium" 2>&1)
    code=$?
    report=${report//$'\r'/}   # the driver is a Windows console program
    printf '%s\n' "$report"
    [ $code -eq 1 ] || fail "exit $code, not 1"
    printf '%s\n' "$report" | grep -qx 'Cut: msgc, Title, BigTitle' ||
        fail "the report does not name exactly msgc, Title and BigTitle as cut"
    for row in 'BigTitle 640x480 .* cut by' 'BigTitle 800x600 .* cut by' 'BigTitle 1024x768 .* fits' \
               'msgc .* cut by' 'Title .* cut by' 'msga .* fits'; do
        printf '%s\n' "$report" | grep -qE "^  $row" || fail "no report line '$row'"
    done
    out=$out/shots check_pictures 1024 768
    ;;
esac
# The stand-in of the dialog font decides every width.
printf '%s\n' "$report" | grep -qE '(stood in for by|の代わり:) .*(proportional|プロポーショナル).*(Japanese|日本語)\)' ||
    fail "the dialog font's stand-in is not reported as a proportional Japanese font"
exit $failed
