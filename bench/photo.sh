# Sourced by the benchmarks that need camera-like photos; uses $work for its scratch files.
# Photos: gradients under blurred colour noise, which JPEG compresses like a photograph.
# photo NAME WIDTH HEIGHT SEED BLUR
photo() {
  local name=$1 width=$2 height=$3 seed=$4 blur=$5 tmp
  [[ -f "$name" ]] && return
  tmp="$(mktemp -d "$work/photo.XXXX")"
  for band in 0 1 2; do
    vips gaussnoise "$tmp/n$band.v" "$width" "$height" --sigma 40 --mean 0 \
      --seed $((seed * 3 + band))
  done
  vips bandjoin "$tmp/n0.v $tmp/n1.v $tmp/n2.v" "$tmp/noise.v"
  vips gaussblur "$tmp/noise.v" "$tmp/grain.v" "$blur"
  # A diagonal gradient whose colour depends on the seed: each photo looks different.
  vips xyz "$tmp/xy.v" "$width" "$height"
  vips linear "$tmp/xy.v" "$tmp/g.v" \
    "$(awk -v w="$width" -v h="$height" 'BEGIN {print 160 / w, 120 / h}')" \
    "$((40 + seed * 23 % 60)) $((50 + seed * 37 % 70))"
  vips extract_band "$tmp/g.v" "$tmp/gx.v" 0
  vips extract_band "$tmp/g.v" "$tmp/gy.v" 1
  vips add "$tmp/gx.v" "$tmp/gy.v" "$tmp/gxy.v"
  vips linear "$tmp/gxy.v" "$tmp/gz.v" 0.5 0
  vips bandjoin "$tmp/gx.v $tmp/gy.v $tmp/gz.v" "$tmp/gradient.v"
  vips add "$tmp/grain.v" "$tmp/gradient.v" "$tmp/sum.v"
  vips cast "$tmp/sum.v" "$tmp/photo.v" uchar
  vips jpegsave "$tmp/photo.v" "$name.part" --Q 90
  mv "$name.part" "$name"
  rm -rf "$tmp"
}
