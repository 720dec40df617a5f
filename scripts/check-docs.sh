#!/usr/bin/env bash
# Checks that the documentation names only what is there: README.md, CONTRIBUTING.md and
# docs/*.md. Fails naming each reference that does not resolve, each benchmark scripts/bench.sh
# would refuse, and each top-level folder docs/architecture.md does not describe.
#   References: the target of every Markdown link (relative to the document; URLs and anchors
#   are not checked), and every word of inline code or of a code block that is a path in the
#   tree (relative to the root): a word with a slash whose first part is a top-level entry
#   of the tree (scripts/test.sh, ui/, .ci/run), or, in inline code, one whose last part has a
#   file's extension (gui/main.cpp). A word may be a glob (ui/main_window.*). Not checked:
#   absolute paths, ~/..., <placeholders>, words with "=", and build/, the build's own output.
#   Inline code or a link that leaves the tree (../) fails.
#   Benchmarks: every word after scripts/bench.sh in code, options aside, must be one of the
#   names of its all=(...) list.
#   Rooms: the first column of the table under docs/architecture.md's "## Rooms" heading names
#   every top-level folder of the tree (hidden ones aside) and nothing else.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
shopt -s nullglob
docs=(README.md CONTRIBUTING.md docs/*.md)
failures=0
fail() {
  echo "check-docs: $*" >&2
  failures=$((failures + 1))
}

# Every candidate of the documents, one a line: kind (link, code or block), document, line, word;
# and each inline code and code line whole, as kind text.
candidates() {
  awk '
    function emit(kind, word) { printf "%s\t%s\t%d\t%s\n", kind, FILENAME, FNR, word }
    function words(kind, text,   n, i, w) {
      emit("text", text)
      n = split(text, w, /[ \t]+/)
      for (i = 1; i <= n; i++) if (w[i] != "") emit(kind, w[i])
    }
    FNR == 1 { fence = 0 }
    /^[ \t]*```/ { fence = !fence; next }
    fence || /^    / { words("block", $0); next }
    {
      line = $0
      while (match(line, /`[^`]+`/)) {
        words("code", substr(line, RSTART + 1, RLENGTH - 2))
        line = substr(line, RSTART + RLENGTH)
      }
      line = $0
      while (match(line, /\]\([^) ]+\)/)) {
        emit("link", substr(line, RSTART + 2, RLENGTH - 3))
        line = substr(line, RSTART + RLENGTH)
      }
    }' "${docs[@]}"
}

# Whether path, relative to the root, names something of the tree; a glob must match.
exists() {
  if [[ "$1" == *[*?]* ]]; then
    compgen -G "$1" >/dev/null
  else
    [[ -e "$1" ]]
  fi
}

extensions='h|cpp|sh|py|md|txt|json|png|jpg|svg|args|cmake|h2m|in|xml|qrc|desktop|yml|yaml'
while IFS=$'\t' read -r kind doc line word; do
  [[ "$kind" != text ]] || continue
  where="$doc:$line"
  word="${word#[(\"\']}"
  word="${word%%[,.;:)\"\']}"
  [[ "$word" == */* ]] || continue
  case "$word" in
    *://* | /* | '~'* | '$'* | -* | '<'* | '#'* | *=* | *'<'* | build/* | ./build/*) continue ;;
  esac
  if [[ "$kind" == link ]]; then
    word="${word%%#*}"
    path="$(realpath -m --relative-to="$root" "$(dirname "$doc")/$word")"
  else
    path="$(realpath -m --relative-to="$root" "$word")"
    [[ "$path" == build/* ]] && continue
    first="${word#./}"
    first="${first%%/*}"
    if [[ "$word" != ../* && ! -e "$first" ]]; then
      [[ "$kind" == code && "${word##*/}" =~ \.($extensions)$ ]] || continue
    fi
  fi
  if [[ "$path" == ../* || "$path" == .. ]]; then
    [[ "$kind" == block ]] || fail "$where: $word leaves the tree"
  elif ! exists "$path"; then
    fail "$where: $word does not exist"
  fi
done < <(candidates)

# The benchmarks scripts/bench.sh accepts, as its own list has them.
accepted="$(sed -n 's/^all=(\(.*\))$/\1/p' scripts/bench.sh)"
[[ -n "$accepted" ]] || fail "scripts/bench.sh: no all=(...) list of benchmarks found"
while IFS=$'\t' read -r doc line text; do
  read -r -a args <<<"${text#*scripts/bench.sh}"
  skip=false
  for arg in "${args[@]}"; do
    if $skip; then
      skip=false
      continue
    fi
    case "$arg" in
      '#'* | '|'* | '&'* | ';'*) break ;;
      --preset) skip=true ;;
      -*) ;;
      *) [[ " $accepted " == *" $arg "* ]] || fail "$doc:$line: scripts/bench.sh accepts no benchmark $arg ($accepted)" ;;
    esac
  done
done < <(candidates | awk -F '\t' '$1 == "text" && index($4, "scripts/bench.sh") { print $2 "\t" $3 "\t" $4 }')

# The rooms of docs/architecture.md against the tree's top-level folders.
named="$(awk '/^## / { rooms = ($0 ~ /^## Rooms/) } rooms && /^\| *`[^`]+` *\|/ {
  split($0, cell, "`"); room = cell[2]; sub(/\/.*$/, "", room); print room }' docs/architecture.md |
  sort -u)"
[[ -n "$named" ]] || fail "docs/architecture.md: no table of rooms under \"## Rooms\""
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  folders="$(git ls-files | sed -n 's|^\([^./][^/]*\)/.*|\1|p' | sort -u)"
else
  folders="$(find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' ! -name 'build*' -printf '%f\n' | sort)"
fi
while read -r room; do
  [[ -z "$room" || -d "$room" ]] || fail "docs/architecture.md: room $room/ is no folder of the tree"
done <<<"$named"
while read -r folder; do
  grep -qxF "$folder" <<<"$named" || fail "docs/architecture.md: the folder $folder/ is no room of its table"
done <<<"$folders"

if ((failures)); then
  echo "check-docs: $failures finding(s)" >&2
  exit 1
fi
echo "check-docs: every reference of ${docs[*]} resolves"
