# shellcheck shell=sh
# A private CUPS server in a folder of its own, on a free 127.0.0.1 port: its
# own configuration, spool and logs, and ServerBin and DataDir folders that
# link to the system's backends, filters and data. The machine's own CUPS
# server and queues are never touched.
#
#   . scripts/lib/private-cupsd.sh
#   private_cupsd_start DIR    # exports CUPS_SERVER, CUPS_SERVERBIN, CUPS_DATADIR, ...
#   private_cupsd_stop
#
# Its variables all begin with pc_, so that the caller's stay untouched.

free_loopback_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

private_cupsd_lay_out() {
    pc_root="$1"
    mkdir -p "$pc_root/etc" "$pc_root/serverbin/backend" "$pc_root/serverbin/filter" "$pc_root/serverbin/driver" \
        "$pc_root/data/model" "$pc_root/cache" "$pc_root/state" "$pc_root/log" "$pc_root/tmp" "$pc_root/spool"
    # cupsd runs filters and backends as lp: every folder must be traversable.
    chmod 755 "$pc_root" "$pc_root"/* "$pc_root"/serverbin/* "$pc_root/data/model"
    chmod 1777 "$pc_root/tmp"
    chmod 710 "$pc_root/spool"
    chgrp lp "$pc_root/spool"
    for pc_entry in /usr/lib/cups/*; do
        case "$(basename "$pc_entry")" in backend | filter | driver) continue ;; esac
        ln -sf "$pc_entry" "$pc_root/serverbin/"
    done
    ln -sf /usr/lib/cups/backend/* "$pc_root/serverbin/backend/"
    ln -sf /usr/lib/cups/filter/* "$pc_root/serverbin/filter/"
    for pc_entry in /usr/share/cups/*; do
        [ "$(basename "$pc_entry")" = model ] || ln -sf "$pc_entry" "$pc_root/data/"
    done
}

private_cupsd_configure() {
    pc_root="$1"
    pc_port="$2"
    cat >"$pc_root/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$pc_port
WebInterface No
Browsing Off
DefaultAuthType None
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
    cat >"$pc_root/etc/cups-files.conf" <<CONF
ServerRoot $pc_root/etc
ServerBin $pc_root/serverbin
DataDir $pc_root/data
CacheDir $pc_root/cache
StateDir $pc_root/state
RequestRoot $pc_root/spool
TempDir $pc_root/tmp
AccessLog $pc_root/log/access_log
ErrorLog $pc_root/log/error_log
PageLog $pc_root/log/page_log
Printcap $pc_root/printcap
User lp
Group lp
SystemGroup root
CONF
}

private_cupsd_start() {
    pc_root="$1"
    private_cupsd_lay_out "$pc_root"
    pc_port=$(free_loopback_port)
    private_cupsd_configure "$pc_root" "$pc_port"
    /usr/sbin/cupsd -f -c "$pc_root/etc/cupsd.conf" -s "$pc_root/etc/cups-files.conf" \
        >"$pc_root/log/cupsd.out" 2>&1 &
    pc_pid=$!
    export CUPS_SERVER="127.0.0.1:$pc_port" IPP_PORT="$pc_port" CUPS_SERVERBIN="$pc_root/serverbin" \
        CUPS_DATADIR="$pc_root/data" CUPS_SERVERROOT="$pc_root/etc"
    pc_tries=0
    until lpstat -r 2>/dev/null | grep -q "is running"; do
        pc_tries=$((pc_tries + 1))
        if [ $pc_tries -gt 100 ] || ! kill -0 "$pc_pid" 2>/dev/null; then
            cat "$pc_root/log/cupsd.out" "$pc_root/log/error_log" >&2 2>/dev/null
            echo "The private CUPS server did not start." >&2
            return 1
        fi
        sleep 0.1
    done
}

private_cupsd_stop() {
    [ -n "${pc_pid:-}" ] || return 0
    kill "$pc_pid" 2>/dev/null || true
    wait "$pc_pid" 2>/dev/null || true
    pc_pid=""
}
