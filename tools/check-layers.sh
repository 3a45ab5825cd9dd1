#!/usr/bin/env bash
# Checks that every include runs down the layers: app -> areas -> window and
# sounding -> errors, model and platform, and app -> player -> platform. The
# areas (schedule, editing, lock, playback) never include one another's
# headers.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [platform]="platform"
    [errors]="errors platform"
    [model]="model"
    [player]="player platform"
    [sounding]="sounding model platform"
    [window]="window errors model platform"
    [schedule]="schedule window errors sounding model platform"
    [editing]="editing window errors sounding model platform"
    [lock]="lock window errors model platform"
    [playback]="playback window errors sounding model platform"
    [app]="app schedule editing lock playback window errors sounding model player platform"
)

# Which folder each of the project's headers lives in.
declare -A home=()
for folder in "${!allowed[@]}"; do
    for header in "$folder"/*.h; do
        home[$(basename "$header")]=$folder
    done
done

failed=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file header; do
        target=${home[$header]:-}
        [ -z "$target" ] && continue
        if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
            echo "$file includes $header from $target/, a layer it may not see" >&2
            failed=1
        fi
    done < <(grep -Ho '#include "[^"]*"' "$folder"/*.cpp "$folder"/*.h |
        sed 's/#include "\(.*\)"/\1/')
done
[ "$failed" -eq 0 ] && echo "layers: every include runs down"
exit "$failed"
