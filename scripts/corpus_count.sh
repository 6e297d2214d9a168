#!/usr/bin/env bash
# Counts how many of the image files installed Debian packages carry picbuf
# loads as the control always did and with --modern (LoadModernFiles), and
# groups the files still refused by error number and by what `file` says they are.
#   scripts/corpus_count.sh [PICBUF [FOLDER...]]
# PICBUF defaults to the release build's, FOLDER to /usr/share.
set -euo pipefail
cd "$(dirname "$0")/.."
picbuf=${1:-build/release/tools/picbuf/picbuf}
[ $# -gt 0 ] && shift
folders=("$@")
[ ${#folders[@]} -eq 0 ] && folders=(/usr/share)
[ -x "$picbuf" ] || { echo "no picbuf at $picbuf: build it first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/links"
# Each file is loaded through a short link named with its own extension, so
# long paths and odd characters do not get in the way of FileName.
count=0
while IFS= read -r -d '' path; do
  count=$((count + 1))
  ln -s "$path" "$work/links/$count.${path##*.}"
  printf '%s\n' "$path" >>"$work/paths"
done < <(find "${folders[@]}" -type f \( -iname '*.png' -o -iname '*.jpg' -o -iname '*.jpeg' \
  -o -iname '*.jfif' -o -iname '*.gif' -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.bmp' \
  -o -iname '*.tga' -o -iname '*.pcx' \) -print0 2>/dev/null | sort -z)
[ "$count" -gt 0 ] || { echo "no image files under ${folders[*]}" >&2; exit 1; }

# One picbuf run loads a batch of files, going on after each failure; file k
# of the batch is loaded by statement 2k. Prints "index<TAB>outcome" lines.
outcomes() {
  local batch=200 first statements=() k status
  for ((first = 1; first <= count; first += batch)); do
    statements=()
    for ((k = first; k < first + batch && k <= count; k++)); do
      statements+=("FileName=\"$(ls "$work/links/$k".*)\"" Load)
    done
    status=0
    timeout 600 "$picbuf" --keep-going "$@" "${statements[@]}" 2>"$work/said" >/dev/null || status=$?
    # 1 is a statement's failure; anything else stopped the run, and its
    # whole batch counts as refused.
    if [ "$status" -gt 1 ]; then
      for ((k = first; k < first + batch && k <= count; k++)); do printf '%s\tstopped\n' "$k"; done
      continue
    fi
    awk -v first="$first" '/^error [0-9]+:/ { error = $2; sub(":", "", error) }
      /^  in statement [0-9]+:/ { n = $3; sub(":", "", n); print first + n / 2 - 1 "\t" error }' \
      "$work/said"
  done
}
outcomes >"$work/plain"
outcomes --modern >"$work/modern"

awk -F'\t' -v count="$count" -v plainOut="$work/refused-plain" -v modernOut="$work/refused" '
  FILENAME == ARGV[1] { plain[$1] = $2; next }
  FILENAME == ARGV[2] { modern[$1] = $2; next }
  { path[FNR] = $0 }
  END {
    for (i = 1; i <= count; i++) {
      if (!(i in plain)) before++
      if (!(i in modern)) after++
      if (!(i in plain) && (i in modern)) lost++
    }
    printf "files: %d\nload as always: %d\nload with --modern: %d\n", count, before, after
    printf "load as always but not with --modern: %d\n", lost
    for (i = 1; i <= count; i++) {
      n = split(path[i], parts, ".")
      if (i in plain) print plain[i] "\t" tolower(parts[n]) > plainOut
      if (i in modern) print modern[i] "\t" tolower(parts[n]) "\t" path[i] > modernOut
    }
  }' "$work/plain" "$work/modern" "$work/paths"
touch "$work/refused-plain" "$work/refused"
echo
echo "refused as always, by error and extension:"
sort "$work/refused-plain" | uniq -c | sort -rn
echo
echo "still refused with --modern, by error and extension:"
cut -f1,2 "$work/refused" | sort | uniq -c | sort -rn
echo
echo "still refused with --modern, by what the file is:"
cut -f3 "$work/refused" | while IFS= read -r path; do file -b "$path" | cut -c1-60; done |
  sort | uniq -c | sort -rn | head -n 25
