# Sourced by the crawl benchmarks: a generated loopback site of one index page linking 599 files
# of 4 KB by anchors (so that the engine rendering the index page asks for none of them), served
# by log_server.py. Needs $work (a temporary folder the caller removes) and $root.

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

# serve_logged SITE LOG: serves SITE, logging to LOG; sets $server_pid and $address (the index).
serve_logged() {
  touch "$2"
  python3 -u "$root/bench/support/log_server.py" "$1" "$2" > "$work/port" &
  server_pid=$!
  for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  address="http://127.0.0.1:$(head -n 1 "$work/port")/index.html"
}
