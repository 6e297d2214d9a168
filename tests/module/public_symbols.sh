#!/bin/sh
# Lists every symbol the shared library exports that is not part of its public
# interface; fails when there is one.
library="$1"
extra=$(nm -DgC --defined-only "$library" | cut -d' ' -f3- |
    grep -v -e '^pm32::Control::' -e '^pm32::automation::' -e '^pm32::ErrorMessage' \
        -e '^typeinfo for pm32::' -e '^typeinfo name for pm32::' -e '^vtable for pm32::' \
        -e '^pm32_' -e '^pmx_mem2dib$' -e '^_init$' -e '^_fini$')
[ -z "$extra" ] || { echo "exported beyond the public interface:"; echo "$extra"; exit 1; }
