# Sourced by the scripts that look for the program's windows: what the version record
# (generated/res/version.h in a build folder) says.

# version_record_define HEADER NAME: the text of one of its strings.
version_record_define() {
    sed -n "s/^#define $2 \"\(.*\)\"\$/\1/p" "$1"
}

# version_record_caption HEADER: the calculator's caption, the product name and its version.
version_record_caption() {
    local product version
    product=$(version_record_define "$1" TRELLAN_PRODUCT_NAME)
    version=$(version_record_define "$1" TRELLAN_VERSION_TEXT)
    [ -n "$product" ] && [ -n "$version" ] || { echo "no caption in $1" >&2; return 1; }
    echo "$product $version"
}
