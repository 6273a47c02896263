# Sourced by the screenshot scripts of both front ends: whether a screenshot shows the layout's
# colours, the red group-box titles and count, the green information text, the blue hint and the
# grey column headings. Needs ImageMagick.
# pixels FILE COLOUR FUZZ: how many pixels are that colour, give or take FUZZ (a percentage).
pixels() {
  convert "$1" -fuzz "$3%" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:
}
# colours_ok FILE [report]: whether the layout's colours are all on screen, saying which when asked.
colours_ok() {
  local ok=0 colour minimum fuzz what count
  # Red and blue are only thin strokes of text on white, which an outline font anti-aliases: they
  # are looked for more loosely (35% still keeps them apart from black, grey and white).
  while IFS=: read -r colour minimum fuzz what; do
    count=$(pixels "$1" "$colour" "$fuzz")
    if [ "${count:-0}" -ge "$minimum" ]; then
      [ -n "${2:-}" ] && echo "ok: $what ($count pixels of $colour)"
    else
      [ -n "${2:-}" ] && echo "FAILED: $what (only ${count:-0} pixels of $colour in $1)"
      ok=1
    fi
  done <<'COLOURS'
rgb(255,0,0):60:35:red group-box titles and count label
rgb(0,255,0):200:12:green information text
rgb(0,0,255):100:35:blue roster hint
rgb(128,128,128):2000:12:grey column headings
COLOURS
  return $ok
}
