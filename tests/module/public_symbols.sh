#!/bin/sh
# libpm32 exports its public interface under the version PM32_1, the pieces the
# toolkit's own programs reach under PM32_PRIVATE, and nothing else; each
# program named after the library takes the engine from it instead of carrying
# a copy of its own. Lists every offence and fails when there is one.
library="$1"
shift
# Upper-case kinds only: the linker may keep a localised symbol in the table.
exports=$(nm -DC --defined-only --with-symbol-versions "$library" | awk '$2 ~ /^[A-Z]$/' |
    cut -d' ' -f3-)
public=$(echo "$exports" | sed -n 's/@@PM32_1$//p' |
    grep -v -e '^pm32::Control::' -e '^pm32::automation::' -e '^pm32::ErrorMessage' \
        -e '^typeinfo for pm32::automation::' -e '^typeinfo name for pm32::automation::' \
        -e '^vtable for pm32::automation::' -e '^pm32_' -e '^pmx_mem2dib$' \
        -e '^pm32::ClassFactory::' -e '^pm32::Printer::' -e '^Dll')
private=$(echo "$exports" | sed -n 's/@@PM32_PRIVATE$//p' |
    grep -v '^\(typeinfo for \|typeinfo name for \|vtable for \)\{0,1\}pm32::\(control\|platform\)::')
unversioned=$(echo "$exports" | grep -v -e '@@PM32_1$' -e '@@PM32_PRIVATE$' -e '^PM32_1$' -e '^PM32_PRIVATE$' \
    -e '^_init$' -e '^_fini$')
failed=0
report() {
    [ -z "$2" ] && return
    echo "$1"
    echo "$2"
    failed=1
}
report "in the public interface without belonging to it:" "$public"
report "offered to the programs from outside the control and platform:" "$private"
report "exported without a version:" "$unversioned"
for program in "$@"; do
    readelf -d "$program" | grep -q 'NEEDED.*\[libpm32\.so\.1\]' || report "$program:" "does not link libpm32.so.1"
    copies=$(nm -C --defined-only "$program" | awk '$2 == "T"' | cut -d' ' -f3- |
        grep '^pm32::' | grep -v -e '^pm32::tools::' -e '^pm32::viewer::')
    report "$program carries library code of its own:" "$copies"
done
exit $failed
