# Sourced by scripts/test-install.sh and scripts/test-windows.sh: drives a running calculator from
# the keyboard, as a user does, to confirm its rates, and checks the file the save wrote. Expects
# $title (a pattern of the calculator's window name), $calculator (the process to wait for) and
# fail().

inode() { stat -c %i "$1" 2>/dev/null || echo none; }

# Opens the fee rate dialog, types a commission (or keeps the one shown), confirms, waits until
# the file the save must replace has been replaced, and closes the calculator.
confirm_rates() {
    local commission=$1 file=$2 before main dialog
    before=$(inode "$file")
    main=$(timeout 60 xdotool search --sync --onlyvisible --name "$title")
    xdotool windowfocus --sync "$main"
    xdotool key Tab Tab Tab Tab Tab Tab space # quantity, sell, calculate, result, exchange, "*"
    dialog=$(timeout 60 xdotool search --sync --onlyvisible --name '^参数设置$')
    xdotool windowfocus --sync "$dialog"
    [ -z "$commission" ] || xdotool type "$commission" # replaces the selected commission
    xdotool key Return
    for _ in $(seq 300); do
        [ "$(inode "$file")" != "$before" ] && break
        sleep 0.1
    done
    [ "$(inode "$file")" != "$before" ] || fail "the rates were not saved to $file"
    xdotool windowfocus --sync "$main"
    xdotool key Escape
    wait "$calculator" || fail "the calculator did not end cleanly"
}

# The file holds the three rates and nothing else (line ends as the platform writes them).
expect_rates() {
    local file=$1 commission=$2 stamp_duty=$3 transfer=$4
    [ "$(tr -d '\r' <"$file")" = "$(printf '[SET]\nCOMMISION=%s\nSTAMPDUTY=%s\nTRANSFER=%s' \
        "$commission" "$stamp_duty" "$transfer")" ] ||
        fail "$file holds $(cat "$file")"
}
