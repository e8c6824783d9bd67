#!/usr/bin/env bash
# Uses the real program as a person would, on an X server with a window manager: xdotool presses
# the keys and types into Qt's real dialogs, xclip is the other program on the clipboard.
# Usage: desktop_test.sh BUILD_DIR TORVEL TORVEL_CLI CASE, CASE being one of
#   paste-png        a PNG another program copied becomes a cell
#   image-strip      Paste Special > Image Strip cuts the picture into the count typed
#   save-over        Save As onto an existing file asks exactly once, then replaces it
#   copy-out         a copied cell reaches another program as a PNG of the cell's size
#   automatic-paste  three pictures copied while another window has focus become three cells
#   automatic-paste-screenshots  ten full-HD pictures copied that way become ten cells
#   new-after-flip   after Flip, New and Paste, the check boxes show the new animation's state
#   open-gif         File > Open's dialog opens an animated GIF, and Save writes it beside it
#   dark-palette     with a dark desktop palette the status panels, cell list and About read well
#   scale-2          at a scale factor of 2 a cell is shown in whole screen pixels, never blended
#   drop-files       two picture files, then a picture without a file, dragged from another
#                    program become three cells
set -Eeuo pipefail
source "$(dirname "$0")/session.sh"
build=$1
torvel=$2
cli=$3
case_name=$4
samples=$build/data/support

work=$(mktemp -d)
cleanup() {
  stop_programs
  rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "the command on line $LINENO failed"' ERR
fail() {
  trap - ERR
  echo "$case_name: $*" >&2
  xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | sed 's/^/  window: /' >&2
  import -window root "$build/desktop-$case_name.png" 2>/dev/null &&
    echo "  screenshot: $build/desktop-$case_name.png" >&2
  exit 1
}

# A home of its own, the real X11 platform, an X server and a window manager.
private_home "$work"
screen=1024x768x24
[ "$case_name" = scale-2 ] && screen=2048x1536x24  # room for the window at twice the size
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 $screen -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "$case_name: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
pointer_screen=$DISPLAY

wm_is_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -1 | grep .; }

# The window manager; once more if it is not up in time (seen rarely on a loaded machine).
start_window_manager() {
  openbox >>"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 15 wm_is_up
}
start_window_manager || start_window_manager ||
  fail "the window manager did not start: $(cat "$work/openbox.log")"

# start_torvel [FILE]: starts the program and gives its window the focus.
start_torvel() {
  "$torvel" "$@" >"$work/torvel.log" 2>&1 &
  pids+=($!)
  local title="Untitled.san - Torvel"
  [ $# -gt 0 ] && title="$(basename "$1") - Torvel"
  wait_for 30 window_named "$title" || fail "no window \"$title\""
  sleep 1.5  # the splash panel closes after about a second
  main=$(window_named "$title")
  activate "$main"
}
activate() { wait_for 10 xdotool windowactivate --sync "$1" || fail "cannot focus window $1"; }

# copy_picture FILE: another program puts a PNG on the clipboard and stays to serve it.
copy_picture() {
  xclip -selection clipboard -t image/png -i "$1" 2>/dev/null &
  pids+=($!)
  wait_for 5 sh -c 'xclip -selection clipboard -t TARGETS -o | grep -q image/png'
}

# save_as PATH: File > Save As through the real dialog; waits until the window names the file.
save_as() {
  xdotool key --clearmodifiers ctrl+a
  wait_for 10 window_named "Save As" || fail "no Save As dialog"
  xdotool type --delay 10 "$1"
  xdotool key Return
  wait_for 10 window_named "$(basename "$1") - Torvel" || fail "not saved as $1"
}

# collect_copied_pictures SIZE COLOUR...: with automatic paste on, another window has the focus
# while a picture of each colour (a gradient to black, of that size) is copied; the animation
# collected is saved as collected.san.
collect_copied_pictures() {
  local size=$1 colour
  shift
  start_torvel
  xdotool key F5
  xmessage -name other "Another program" &
  pids+=($!)
  wait_for 10 window_named other || wait_for 10 window_named xmessage || fail "no other window"
  other=$(xdotool search --onlyvisible --class xmessage | head -1)
  activate "$other"
  for colour in "$@"; do
    convert -size "$size" "gradient:$colour-black" "$work/$colour.png"
    copy_picture "$work/$colour.png"
    # The program looks twice a second, takes the picture and empties the clipboard.
    wait_for 10 clipboard_is_empty || fail "the $colour picture was not taken"
  done
  activate "$main"
  xdotool key F5
  save_as "$work/collected.san"
}

clipboard_is_empty() { ! xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png; }
info_line() { "$cli" info "$1" | sed -n "s/^$2: //p"; }
expect_equal() { [ "$1" = "$2" ] || fail "$3: got \"$1\", expected \"$2\""; }

# contrast PICTURE GEOMETRY: for that part of the picture, "RATIO LUMINANCE": the contrast ratio
# (as web guidelines count it) between its commonest colour, the background, and the colour that
# stands out from it most, the text; then the background's relative luminance.
contrast() {
  convert "$1" -crop "$2" +repage -depth 8 -format %c histogram:info:- |
    awk -F'[(),:]+' '
      function lin(c) { c /= 255; return c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ^ 2.4 }
      { n[NR] = $1 + 0; l[NR] = 0.2126 * lin($3) + 0.7152 * lin($4) + 0.0722 * lin($5)
        if (n[NR] > n[bg]) bg = NR }
      END {
        for (i in l) {
          r = (l[i] > l[bg] ? l[i] + 0.05 : l[bg] + 0.05) / (l[i] > l[bg] ? l[bg] + 0.05 : l[i] + 0.05)
          if (r > best) best = r
        }
        printf "%.1f %.2f\n", best, l[bg]
      }'
}
# readable PICTURE GEOMETRY WHAT: the text there stands out from its background by at least 4.5.
readable() {
  local measured
  measured=$(contrast "$1" "$2")
  awk -v r="${measured% *}" 'BEGIN { exit !(r >= 4.5) }' || fail "$3: contrast only ${measured% *}"
}

case $case_name in
  drop-files)
    start_torvel
    drag_source=$build/tests/torvel-drag-source drag_platform=xcb
    drop_three_cells
    activate "$main"
    save_as "$work/dropped.san"
    expect_equal "$(info_line "$work/dropped.san" cells)" 3 "cells"
    ;;
  paste-png)
    convert -size 40x30 xc:'#3366cc' "$work/picture.png"
    copy_picture "$work/picture.png"
    start_torvel
    xdotool key --clearmodifiers ctrl+v
    save_as "$work/pasted.san"
    expect_equal "$(info_line "$work/pasted.san" cells)" 1 "cells"
    expect_equal "$(info_line "$work/pasted.san" "cell size")" 40x30 "cell size"
    ;;
  image-strip)
    convert -size 60x20 xc:red -fill blue -draw 'rectangle 20,0 39,19' \
      -fill lime -draw 'rectangle 40,0 59,19' "$work/strip.png"
    copy_picture "$work/strip.png"
    start_torvel
    xdotool key F4
    wait_for 10 window_named "Image Strip" || fail "no Image Strip question"
    xdotool key ctrl+a && xdotool type 3 && xdotool key Return
    save_as "$work/strip.san"
    expect_equal "$(info_line "$work/strip.san" cells)" 3 "cells"
    expect_equal "$(info_line "$work/strip.san" "cell size")" 20x20 "cell size"
    ;;
  save-over)
    cp "$samples/Bouncing Ball.san" "$work/ours.san"
    cp "$samples/Walking Figure.san" "$work/theirs.san"
    start_torvel "$work/ours.san"
    xdotool key --clearmodifiers ctrl+a
    wait_for 10 window_named "Save As" || fail "no Save As dialog"
    xdotool type --delay 10 "$work/theirs.san"
    xdotool key Return
    wait_for 10 window_named Torvel || fail "no question before replacing the file"
    sleep 0.5
    questions=$(xdotool search --onlyvisible --name . getwindowname %@ |
      grep -cv -e ' - Torvel$' -e '^Torvel$' || true)
    expect_equal "$questions" 0 "other dialogs beside Torvel's question"
    xdotool key Return  # Yes
    wait_for 10 window_named "theirs.san - Torvel" || fail "not saved over theirs.san"
    expect_equal "$("$cli" info "$work/theirs.san")" "$("$cli" info "$work/ours.san")" "replaced file"
    ;;
  copy-out)
    cp "$samples/Spinning Logo.san" "$work/logo.san"
    start_torvel "$work/logo.san"
    xdotool key --clearmodifiers ctrl+c
    wait_for 5 sh -c 'xclip -selection clipboard -t image/png -o > "$0/copied.png" &&
                      identify "$0/copied.png"' "$work" || fail "no PNG on the clipboard"
    expect_equal "$(identify -format '%wx%h' "$work/copied.png")" \
      "$(info_line "$work/logo.san" "cell size")" "copied picture size"
    ;;
  automatic-paste)
    collect_copied_pictures 16x16 red lime blue
    expect_equal "$(info_line "$work/collected.san" cells)" 3 "cells"
    ;;
  automatic-paste-screenshots)
    collect_copied_pictures 1920x1080 red orange yellow lime green cyan blue navy purple white
    expect_equal "$(info_line "$work/collected.san" cells)" 10 "cells"
    expect_equal "$(info_line "$work/collected.san" "cell size")" 1920x1080 "cell size"
    ;;
  open-gif)
    convert -size 16x12 -delay 20 xc:none -fill red -draw 'rectangle 2,2 9,9' \
      \( -size 16x12 xc:none -fill blue -draw 'rectangle 6,2 13,9' \) -loop 0 "$work/walk.gif"
    start_torvel
    xdotool key --clearmodifiers ctrl+o
    wait_for 10 window_named "Open" || fail "no Open dialog"
    xdotool type --delay 10 "$work/walk.gif"
    xdotool key Return
    wait_for 10 window_named "\*walk.san - Torvel" || fail "the GIF did not open as walk.san"
    xdotool key --clearmodifiers ctrl+s
    wait_for 10 window_named "walk.san - Torvel" || fail "not saved"
    expect_equal "$(info_line "$work/walk.san" cells)" 2 "cells"
    expect_equal "$(info_line "$work/walk.san" interval)" 200 "interval"
    expect_equal "$(info_line "$work/walk.san" transparent)" yes "transparent"
    ;;
  new-after-flip)
    # The row of the speed list and check boxes, just above the status line.
    controls() { import -window "$main" -gravity south -crop 0x26+0+18 +repage "$work/$1.png"; }
    differ() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1)" != 0 ]; }
    convert -size 30x30 xc:orange "$work/picture.png"
    copy_picture "$work/picture.png"
    start_torvel
    xdotool key --clearmodifiers ctrl+v && sleep 0.5 && controls upright
    xdotool key F8 && sleep 0.5 && controls flipped
    differ upright flipped || fail "the Flip box did not show Flip"
    xdotool key --clearmodifiers ctrl+n
    wait_for 10 window_named Torvel || fail "no question about the unsaved animation"
    xdotool key --clearmodifiers alt+n
    wait_for 10 window_named "Untitled.san - Torvel" || fail "no new animation"
    xdotool key --clearmodifiers ctrl+v && sleep 0.5 && controls again
    differ upright again && fail "the check boxes still show the previous animation's Flip"
    ;;
  dark-palette)
    # The Fusion style with a dark colour scheme, as a dark desktop theme sets it through qt6ct.
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    printf '[Appearance]\ncustom_palette=true\nstyle=Fusion\ncolor_scheme_path=%s\n' \
      /usr/share/qt6ct/colors/darker.conf >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf"
    export QT_QPA_PLATFORMTHEME=qt6ct
    cp "$samples/Bouncing Ball.san" "$work/ball.san"
    start_torvel "$work/ball.san"
    # The window keeps its first size, 688x455: the status line is its bottom 17 pixels, the
    # speed panel first, the position second, Automatic Paste fifth; the row numbers on the left.
    import -window "$main" "$work/playing.png"
    background=$(contrast "$work/playing.png" 100x15+120+439)
    awk -v l="${background#* }" 'BEGIN { exit !(l < 0.1) }' ||
      fail "the palette is not dark (status line luminance ${background#* })"
    readable "$work/playing.png" 100x15+4+439 "the playing speed"
    readable "$work/playing.png" 100x15+120+439 "the position"
    readable "$work/playing.png" 30x240+8+80 "the row numbers"
    xdotool key F5 && sleep 0.7 && import -window "$main" "$work/collecting.png"
    readable "$work/collecting.png" 130x15+470+439 "Automatic Paste switched on"
    xdotool key F5 && xdotool key --clearmodifiers ctrl+n
    wait_for 10 window_named "Untitled.san - Torvel" || fail "no new animation"
    main=$(window_named "Untitled.san - Torvel")
    import -window "$main" "$work/still.png"
    readable "$work/still.png" 100x15+4+439 "the still speed"
    readable "$work/still.png" 80x40+10+82 "the End row"
    expect_equal "$(convert "$work/still.png" -format '%[hex:p{400,250}]' info:)" FFFFFF \
      "the preview's background colour"
    xdotool key --clearmodifiers alt+h && sleep 0.3 && xdotool key a
    wait_for 10 window_named "About Torvel" || fail "no About panel"
    sleep 0.5 && import -window "$(window_named "About Torvel")" "$work/about.png"
    readable "$work/about.png" 250x60+30+178 "the About panel's text"
    ;;
  scale-2)
    export QT_SCALE_FACTOR=2
    # An 8x8 cell of single red and blue pixels: any blending of neighbours shows as purple.
    convert -size 8x8 pattern:gray50 -fill blue -opaque white -fill red -opaque black \
      "$work/checker.png"
    copy_picture "$work/checker.png"
    start_torvel
    xdotool key --clearmodifiers ctrl+v && sleep 0.7
    import -window "$main" "$work/scaled.png"
    pixels() { convert "$work/scaled.png" -fill black +opaque "$1" -fill white -opaque "$1" \
      -format '%[fx:round(mean*w*h)]' info:; }
    # The cell list and the preview each show the 32 blue pixels as 2x2 blocks of screen pixels.
    expect_equal "$(pixels blue)" 256 "blue screen pixels"
    blended=$(convert "$work/scaled.png" -fx 'r > 0.1 && b > 0.1 && g < 0.05 ? 1 : 0' \
      -format '%[fx:round(mean*w*h)]' info:)
    expect_equal "$blended" 0 "blended screen pixels"
    ;;
  *)
    echo "desktop_test.sh: unknown case $case_name" >&2
    exit 2
    ;;
esac
echo "$case_name: passed"
