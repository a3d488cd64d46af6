# Sourced by the crawl benchmarks: a generated loopback site of one index page linking 599 files
# of 4 KB by anchors (so that the engine rendering the index page asks for none of them), served
# by log_server.py. Needs $root.

# make_file_site FOLDER NAME_FORMAT: the site in FOLDER, file i at printf NAME_FORMAT i.
make_file_site() {
  local site=$1 format=$2
  mkdir -p "$site/$(dirname "$(printf "$format" 0)")"
  {
    echo '<html><body><h1>index</h1>'
    for i in $(seq 0 598); do printf "<a href=\"$format\">%d</a>\n" "$i" "$i"; done
    echo '</body></html>'
  } > "$site/index.html"
  for i in $(seq 0 598); do head -c 4096 /dev/urandom > "$site/$(printf "$format" "$i")"; done
}

# start_file_site NAME NAME_FORMAT: a work folder /tmp/rendora-NAME-bench.*, the site made in it
# and served with its log; sets $work, $site, $log, $server_pid and $address (the index page).
# The server and the work folder go however the script ends.
start_file_site() {
  work=$(mktemp -d "/tmp/rendora-$1-bench.XXXXXX")
  server_pid=""
  trap '[ -z "$server_pid" ] || kill "$server_pid" 2> /dev/null; rm -rf "$work"' EXIT
  site="$work/site"
  log="$work/server.log"
  make_file_site "$site" "$2"
  touch "$log"
  python3 -u "$root/bench/support/log_server.py" "$site" "$log" > "$work/port" &
  server_pid=$!
  for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  address="http://127.0.0.1:$(head -n 1 "$work/port")/index.html"
}
