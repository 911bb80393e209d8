#!/usr/bin/env bash
# Configures the project into a scratch folder with `cmake --graphviz` and
# checks that the project's own libraries link along the layers and nothing
# else, and that each program links just its own library; then that no source
# under src/ includes a header of a folder its own layer does not link:
#
#   base <- platform <- device <- sim engine
#   base <- platform <- device <- fleet <- command line
#   base <- platform <- framework <- skin <- ui -> device, fleet
#
#   target_graph_test.sh SOURCE_DIR [CMAKE]
set -euo pipefail
source_dir=$1
cmake=${2:-cmake}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! "$cmake" -S "$source_dir" -B "$work" -G Ninja --graphviz="$work/graph.dot" >"$work/configure.log" 2>&1; then
  cat "$work/configure.log" >&2
  echo "target graph: configure failed" >&2
  exit 1
fi

layers=(lumora_base lumora_platform lumora_device lumora_framework lumora_skin lumora_ui lumora_sim_engine lumora_fleet lumora_cli_lib)
expected=$(sort <<'ARROWS'
lumora_platform -> lumora_base
lumora_device -> lumora_platform
lumora_framework -> lumora_platform
lumora_skin -> lumora_framework
lumora_ui -> lumora_skin
lumora_ui -> lumora_device
lumora_ui -> lumora_fleet
lumora_sim_engine -> lumora_device
lumora_fleet -> lumora_device
lumora_cli_lib -> lumora_fleet
lumora -> lumora_ui
lumora-sim -> lumora_sim_engine
lumora-cli -> lumora_cli_lib
ARROWS
)

# Every arrow of the graph as "FROM -> TO" (the comment graphviz puts after
# each edge), and every project target: a node named like the project's.
arrows=$(sed -n 's|.*// \(.*\) -> \(.*\)$|\1 -> \2|p' "$work/graph.dot" | sort -u)
is_layer() { local t; for t in "${layers[@]}"; do [[ $1 == "$t" ]] && return 0; done; return 1; }
is_program() { [[ $1 == lumora || $1 == lumora-sim || $1 == lumora-cli ]]; }

# The arrows that leave a layer library or a program and end at a target of
# the project; the programs' and layers' links to Qt and system libraries are
# theirs to choose.
project_targets=$(sed -n 's|.*label = "\([^"]*\)".*|\1|p' "$work/graph.dot" | grep -vE '::|^(util|pthread|dl)$|^-' || true)
actual=$(while read -r from _ to; do
  { is_layer "$from" || is_program "$from"; } || continue
  grep -qxF "$to" <<<"$project_targets" || continue
  # Compiled-in resources are object libraries of the library itself.
  [[ $to =~ ^${from}_resources_[0-9]+$ ]] && continue
  echo "$from -> $to"
done <<<"$arrows" | sort -u)

# Nothing links a program, and only the expected targets link each layer
# from within the layers.
if [[ "$actual" != "$expected" ]]; then
  echo "target graph: the arrows between the project's libraries differ" >&2
  diff <(echo "$expected") <(echo "$actual") | sed 's/^</expected:/; s/^>/found:   /' | grep -E '^(expected|found)' >&2
  exit 1
fi
echo "target graph: $(wc -l <<<"$actual") arrows, all along the layers"

# The includes: a file of src/FOLDER may include headers of its own folder
# and of the folders whose libraries its library reaches along the arrows,
# nothing else (the shared include path would let it).
declare -A layer_of=([base]=lumora_base [platform]=lumora_platform [device]=lumora_device
  [framework]=lumora_framework [skin]=lumora_skin [ui]=lumora_ui [sim]=lumora_sim_engine
  [fleet]=lumora_fleet [cli]=lumora_cli_lib)
reaches() { # the layers a layer links, directly or through others, and itself
  local seen=" $1 " queue=("$1") t from to
  while ((${#queue[@]})); do
    t=${queue[0]} queue=("${queue[@]:1}")
    while read -r from _ to; do
      [[ $from == "$t" && $seen != *" $to "* ]] && seen+="$to " && queue+=("$to")
    done <<<"$expected"
  done
  echo "$seen"
}
bad=0
for folder in "${!layer_of[@]}"; do
  [[ -d $source_dir/src/$folder ]] || continue
  allowed=$(reaches "${layer_of[$folder]}")
  while IFS=: read -r file line included; do
    top=${included%%/*}
    if [[ $included == ../* || ( $included == */* && -z ${layer_of[$top]:-} ) ]]; then
      echo "includes: ${file#"$source_dir"/}:$line reaches outside the layers: $included" >&2
      bad=1
    elif [[ $included == */* && $allowed != *" ${layer_of[$top]} "* ]]; then
      echo "includes: ${file#"$source_dir"/}:$line ($folder) includes a layer above its own: $included" >&2
      bad=1
    fi
  done < <(grep -rnoE --include='*.h' --include='*.cpp' '^#include "[^"]+"' "$source_dir/src/$folder" |
    sed -E 's/:#include "(.*)"$/:\1/')
done
((bad == 0)) || exit 1
echo "includes: every source under src/ includes only its own layer and those below"
