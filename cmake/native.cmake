# The portable code built for this machine: once with sanitizers for the unit
# tests, once optimised for the benchmarks.
set(PELMORA_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(pelmora_portable STATIC ${PORTABLE_SOURCES})
target_include_directories(pelmora_portable PUBLIC src res)
target_compile_options(pelmora_portable PUBLIC ${PELMORA_SANITIZE} -g -O1)
target_link_options(pelmora_portable PUBLIC ${PELMORA_SANITIZE})

add_library(pelmora_portable_fast STATIC ${PORTABLE_SOURCES})
target_include_directories(pelmora_portable_fast PUBLIC src res)
target_compile_options(pelmora_portable_fast PRIVATE -O2)
