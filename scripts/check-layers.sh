#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a layer above its own, or a header of a Qt
# module its layer must not use. Every layer sees src/ as its include folder, so without this
# check only a link error, if anything, would catch such an include. The build runs it before
# compiling any layer; it can also be run on its own:
#   scripts/check-layers.sh [Qt header folder, default: what qtpaths6 reports]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qt_headers=${1:-$(qtpaths6 --query QT_INSTALL_HEADERS)}

# One row per folder under src/: the folders whose headers its files may include (its own and
# those of the layers below it), then the Qt modules it may use. A new folder needs a row here.
layer_table='
core:   core                                     | Core
image:  core image                               | Core Gui
render: core image render                        | Core Gui Svg
tools:  core image render tools                  | Core Gui
workspace: core image render tools workspace     | Core Gui
scan:   core scan                                | Core Gui Widgets
ui:     core image render tools workspace scan ui | Core Gui Widgets PrintSupport Svg
app:    core image render tools workspace scan ui app | Core Gui Widgets PrintSupport Svg
'

declare -A allowed_folders allowed_modules
while IFS= read -r row; do
  [ -n "${row//[[:space:]]/}" ] || continue
  layer=${row%%:*}
  rest=${row#*:}
  allowed_folders[$layer]=" $(echo ${rest%%|*}) "
  allowed_modules[$layer]=" $(echo ${rest#*|}) "
done <<<"$layer_table"

if [ ! -d "$qt_headers/QtCore" ]; then
  echo "check-layers: no Qt headers in '$qt_headers'" >&2
  exit 2
fi

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

cd "$root/src"
for entry in *; do
  if [ ! -d "$entry" ]; then
    fail "src/$entry: every source file belongs in a layer folder under src/"
  elif [ -z "${allowed_folders[$entry]+set}" ]; then
    fail "src/$entry/ is a folder the layer check does not know: add a row for it to the layer table in scripts/check-layers.sh"
  fi
done

# Sets module to the Qt module a header belongs to, or to nothing for a header that is not Qt's.
declare -A module_of_header
find_qt_module() {
  local header=$1
  if [[ $header == Qt*/* ]]; then
    header=${header%%/*}
  fi
  if [ -z "${module_of_header[$header]+set}" ]; then
    module=""
    if [[ $header == Qt* && -d "$qt_headers/$header" ]]; then
      module=${header#Qt}
    elif [[ $header == [Qq]* ]]; then
      local dir
      for dir in "$qt_headers"/Qt*/; do
        if [ -f "$dir$header" ]; then
          dir=${dir%/}
          module=${dir##*/Qt}
          break
        fi
      done
    fi
    module_of_header[$header]=$module
  fi
  module=${module_of_header[$header]}
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"]'
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  text=${rest#*:}
  [[ $text =~ $include_pattern ]] || continue
  header=${BASH_REMATCH[1]}
  layer=${file%%/*}
  [ -n "${allowed_folders[$layer]+set}" ] || continue
  where="src/$file:$line"
  if [[ $header == ../* || $header == */../* ]]; then
    fail "$where: '$header' reaches out of its folder; include it by its layer path instead"
    continue
  fi
  folder=${header%%/*}
  if [[ $header == */* && -d "$folder" ]]; then
    if [[ ${allowed_folders[$layer]} != *" $folder "* ]]; then
      fail "$where: $layer includes $header, but $layer may use only the headers of:${allowed_folders[$layer]% }"
    fi
    continue
  fi
  find_qt_module "$header"
  if [ -n "$module" ] && [[ ${allowed_modules[$layer]} != *" $module "* ]]; then
    fail "$where: $layer includes $header from Qt$module, but $layer may use only the Qt modules:${allowed_modules[$layer]% }"
  fi
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' -- */ 2>/dev/null || true)

if [ "$failures" -gt 0 ]; then
  echo "check-layers: $failures problem(s) with the layering of src/" >&2
  exit 1
fi
