#!/bin/sh
# Each program's manual page names every option its --help lists, so the page
# cannot fall behind the program. Arguments: pairs of program and page.
failed=0
while [ $# -ge 2 ]; do
    program="$1"
    page="$2"
    shift 2
    options=$("$program" --help 2>&1 | grep -o -e '^ *-[a-z]' -e '^ *--[a-z-]*' | tr -d ' ')
    [ -n "$options" ] || { echo "$program lists no options"; failed=1; }
    for option in $options; do
        grep -q -- "$(echo "$option" | sed 's/-/\\\\-/g')" "$page" ||
            { echo "$page does not name $option"; failed=1; }
    done
done
exit $failed
