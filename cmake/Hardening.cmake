# Hardening for every build type, as Debian's own packages get it, wherever the compiler and
# linker take the flag: the flags go to every target, tests and tools included, so what the tests
# prove is what ships.
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)
include(CheckPIESupported)

if(WIN32)
    # mingw-w64's stack protector and fortified functions come from libssp, linked statically
    # with the rest of the runtime. Its headers know no fortify level beyond 2.
    set(hardening_flags -fstack-protector-strong)
    set(hardening_link_flags -fstack-protector-strong)  # brings in libssp
    set(fortify_level 2)
else()
    check_pie_supported(LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    set(hardening_flags -fstack-protector-strong -fstack-clash-protection -fcf-protection)
    set(hardening_link_flags -Wl,-z,relro,-z,now)
    # Level 3 also checks buffers whose size is known only at run time.
    set(CMAKE_REQUIRED_QUIET ON)
    check_cxx_source_compiles([[
        #include <cstddef>
        #if !defined(__GLIBC__) || !__GLIBC_PREREQ(2, 34) || !__has_builtin(__builtin_dynamic_object_size)
        #error "no dynamic object sizes"
        #endif
        int main() { return 0; }]] TRELLAN_HAS_FORTIFY_3)
    unset(CMAKE_REQUIRED_QUIET)
    set(fortify_level 2)
    if(TRELLAN_HAS_FORTIFY_3)
        set(fortify_level 3)
    endif()
endif()

foreach(flag IN LISTS hardening_flags)
    string(MAKE_C_IDENTIFIER "TRELLAN_HAS${flag}" supported)
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
        add_compile_options(${flag})
    endif()
endforeach()
foreach(flag IN LISTS hardening_link_flags)
    string(MAKE_C_IDENTIFIER "TRELLAN_LINKER_HAS${flag}" supported)
    check_linker_flag(CXX ${flag} ${supported})
    if(${supported})
        add_link_options(${flag})
    endif()
endforeach()

# Fortified library calls need the optimiser, and would hide from the sanitizers the very calls
# they watch. A packager's own _FORTIFY_SOURCE (Debian's CPPFLAGS) is left as it is.
string(CONCAT flags_in_force "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_RELEASE} "
    "${CMAKE_CXX_FLAGS_RELWITHDEBINFO} ${CMAKE_CXX_FLAGS_MINSIZEREL}")
if(NOT TRELLAN_SANITIZE AND NOT TRELLAN_FUZZ AND NOT flags_in_force MATCHES "_FORTIFY_SOURCE")
    set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
    add_compile_options("$<${optimised}:-U_FORTIFY_SOURCE>"
                        "$<${optimised}:-D_FORTIFY_SOURCE=${fortify_level}>")
endif()
