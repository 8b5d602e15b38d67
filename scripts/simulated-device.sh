# Sourced by the scripts that run the tool against rx904-sim:
#   start_simulated_device BUILD_DIR LINK [OPTION]...
# starts BUILD_DIR/sim/rx904-sim with its terminal linked at LINK, leaves its process id in
# $sim (the caller's trap ends it) and returns once the link is there.
start_simulated_device() {
    local build="$1" link="$2"
    shift 2
    "$build/sim/rx904-sim" --link "$link" "$@" >/dev/null &
    sim=$!
    for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
}
