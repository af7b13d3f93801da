# One interface target carries the warning set and the floating-point rules, so every
# layer, tool and test is compiled the same way.
add_library(trellan_options INTERFACE)
add_library(trellan::options ALIAS trellan_options)

target_compile_options(trellan_options INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    # Results must be bit for bit those of plain double arithmetic in the written order.
    -ffp-contract=off -fno-fast-math)

if(TRELLAN_WARNINGS_AS_ERRORS)
    target_compile_options(trellan_options INTERFACE -Werror)
endif()

if(TRELLAN_SANITIZE)
    target_compile_options(trellan_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(trellan_options INTERFACE -fsanitize=address,undefined)
endif()
