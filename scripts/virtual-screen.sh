# Sourced by the scripts that need an X screen and have no desktop: Xvfb on the first free display.
# -noreset: by default the server resets when its last client leaves (a probe, a helper that
# connects and goes), and a client that connects during the reset is dropped, so a program would
# fail to start now and then with "could not connect to display".

virtual_screen_pid=

# Starts the server and waits until it tells its number (it does once it accepts clients), then
# exports DISPLAY. The server's messages go to the file given (default: nowhere). Inherits no
# descriptor 4, which callers may hold a lock on. Returns 1, server stopped, if it did not start.
virtual_screen_start() {
    local log=${1:-/dev/null} number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 \
        3>"$number_file" >/dev/null 2>"$log" 4>&- &
    virtual_screen_pid=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$number_file" ]; then
        echo "Xvfb did not start" >&2
        rm -f "$number_file"
        virtual_screen_stop
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
}

virtual_screen_stop() {
    if [ -n "$virtual_screen_pid" ]; then
        kill "$virtual_screen_pid" 2>/dev/null || true
        wait "$virtual_screen_pid" 2>/dev/null || true
        virtual_screen_pid=
    fi
}
