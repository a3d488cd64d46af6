#!/usr/bin/env bash
# Fails when a source folder includes a folder above its level, or when the window toolkit is
# included below the browser control's level. The levels, lowest first (src/README.md):
#   base < net, resources < settings < convert < download < browser < dialogs < app, cli
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A level=([base]=0 [net]=1 [resources]=1 [settings]=2 [convert]=3 [download]=4
                  [browser]=5 [dialogs]=6 [app]=7 [cli]=7)
toolkit_level=5
toolkit='^#include <(wx/|gtk/|gdk/|glib|webkit2/|libsoup/|X11/|jsc/)'
failed=0

for folder in "${!level[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' file; do
    while IFS= read -r line; do
      included=$(sed -nE 's|^#include "([a-z_]+)/.*|\1|p' <<<"$line")
      if [ -n "$included" ] && [ "$included" != "$folder" ]; then
        if [ -z "${level[$included]+x}" ]; then
          echo "$file: includes an unknown folder: $line"; failed=1
        elif [ "${level[$included]}" -ge "${level[$folder]}" ]; then
          echo "$file: $folder may not include $included: $line"; failed=1
        fi
      fi
      if [ "${level[$folder]}" -lt "$toolkit_level" ] && grep -qE "$toolkit" <<<"$line"; then
        echo "$file: the window toolkit is for browser, dialogs, app and cli only: $line"
        failed=1
      fi
    done < <(grep -E '^#include' "$file")
  done < <(find "$folder" \( -name '*.h' -o -name '*.cpp' \) -print0)
done
[ "$failed" -eq 0 ] && echo "levels: every include points down"
exit "$failed"
