#!/usr/bin/env bash
# Serves the browser version's folder: tools/serve-web.sh DIR HOST PORT. HOST 127.0.0.1 keeps
# it to this machine; 0.0.0.0 lets a phone on the same network open it (the addresses to
# type are printed). Offline play needs a secure page (https, or localhost): over a plain
# network address the game plays, but is not kept for offline play.
set -eu
dir=$1 host=$2 port=$3
if [ "$host" = 0.0.0.0 ] || [ "$host" = "::" ]; then
    echo "Serving on every network of this machine. Open one of these on the phone:"
    for address in $(hostname -I 2>/dev/null); do
        case $address in
            *:*) echo "  http://[$address]:$port/" ;;
            *) echo "  http://$address:$port/" ;;
        esac
    done
fi
echo "On this machine: http://localhost:$port/ (Ctrl+C stops the server)."
cd "$dir"
exec python3 -m http.server "$port" --bind "$host"
