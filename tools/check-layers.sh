#!/usr/bin/env bash
# Checks that every include runs down the layers: app -> areas -> window and
# sounding -> errors, model and platform, and app -> player -> platform. The
# areas (schedule, editing, lock, playback) never include one another's
# headers. An include names the folder it leans on ("player/Mixer.h"), so
# the layer is read from the line itself; a bare name of one of the
# program's headers is refused, since it hides the layer.
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

failed=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file header; do
        case "$header" in
        */*)
            target=${header%%/*}
            if [ -z "${allowed[$target]:-}" ]; then
                echo "$file includes $header from $target/, which is no layer" >&2
                failed=1
            elif [[ " ${allowed[$folder]} " != *" $target "* ]]; then
                echo "$file includes $header from $target/, a layer it may not see" >&2
                failed=1
            fi
            ;;
        *)
            echo "$file includes $header without its folder" >&2
            failed=1
            ;;
        esac
    done < <(grep -Ho '#include "[^"]*"' "$folder"/*.cpp "$folder"/*.h |
        sed 's/#include "\(.*\)"/\1/')
done
[ "$failed" -eq 0 ] && echo "layers: every include names its folder and runs down"
exit "$failed"
