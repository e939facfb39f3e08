#!/bin/bash
# emuboard.sh - an emulated recording board, for the tests and for trying the tools without
# hardware. Run as root on Debian 12 (packages: dropbear-bin busybox-static openssh-client
# python3 python3-paramiko iproute2 e2fsprogs util-linux procps).
#
#   emuboard.sh run [OPTIONS] -- CMD [ARGS...]
#       Builds a fresh board in a temporary folder, starts it in network, mount, PID and UTS
#       namespaces of its own, runs CMD inside those namespaces (not chrooted: CMD is the
#       client under test), tears the board down and exits with CMD's exit status.
#       Nothing is left running. If the board cannot start, it exits with status 90 and says
#       why on stderr.
#   emuboard.sh shell [OPTIONS]
#       The same, with an interactive shell as CMD (try: ssh root@$BOARD_HOST).
#
# OPTIONS
#   --keep             keep the work folder afterwards (its path is printed), for debugging
#   --no-usb           no USB disk: /dev/sda1 does not exist, so mounting it fails
#   --fake MODE:PORT   also start fakesshd.py on 127.0.0.1:PORT (repeatable); MODE is one of
#                      kbdint, noexit, oldalgs, scpreply, kexstall (see fakesshd.py); scpreply
#                      plays the script in $BOARD_WORK/fake-PORT.script, read at each request;
#                      kexstall starts a key exchange in the middle of an upload and falls silent
#   --dropbear-window BYTES
#                      dropbear's receive window per channel (its -W; 24576 by default, as on
#                      the real board), for measuring how it bounds uploads
#   --openssh PORT     also start OpenSSH's sshd in the board's chroot on PORT of 127.0.0.1
#                      and 192.168.168.201: a board with a current OpenSSH whose only host key
#                      is RSA, on its default algorithms; root with an empty password. Its log
#                      at level DEBUG3 ($BOARD_ROOT/var/log/openssh-PORT.log; a file, so that
#                      no debug line reaches a session's output) shows what each session
#                      negotiated, strict key exchange included
#
# The board
#   - 127.0.0.1, ::1 and 192.168.168.201 (on interface board0), all only inside the namespace.
#   - dropbear on port 22 of these addresses: root with an empty password (accepted through
#     the "none" method, as dropbear's -B does it), user "tech" with password "secret".
#   - A chroot: busybox (applets as symlinks, but no reboot/halt/poweroff/init), OpenSSH's scp
#     at /usr/bin/scp, /sbin/reboot as a stub that appends "<date> reboot <args>" to
#     /var/log/reboot-requests, /proc of the board's PID namespace, a small /dev, host name
#     "board". The busybox applet run as plain "reboot" only signals the namespace's pid 1,
#     which ignores it; "busybox reboot -f" ends the whole board, never the host.
#     Tests may change the board through BOARD_ROOT, e.g. remove usr/bin/scp.
#   - /tmp/DCIM/100HSCAM with REC0001..3.MP4, IMG0001.JPG, INDEX.DAT (mode 0755, as a FAT
#     card shows them); /app with rtspserver.dat, rtspserver_les.dat, rtspserver_ref.dat,
#     sample_rtspserver; /mnt without a usb folder; /mnt/small, a 2 MiB tmpfs for disk-full
#     cases. The board's /tmp is a folder on the host's disk, so large files fit.
#   - A USB disk: a 128 MiB sparse ext4 image on a loop device, reachable on the board as
#     /dev/sda1 ("mount /dev/sda1 /mnt/usb/" works with busybox's own mount).
#
# Environment given to CMD
#   BOARD_ROOT       host path of the board's root folder (inspect or seed files there)
#   BOARD_HOST       127.0.0.1
#   BOARD_ADDR       192.168.168.201
#   BOARD_WORK       the work folder (logs: dropbear.log, fake-PORT.log)
#   BOARD_CTL        control script: stop | cont | kill-sessions | restart | pids
#                      stop           SIGSTOP the dropbear listener and all its descendants
#                      cont           SIGCONT them
#                      kill-sessions  SIGKILL the per-connection dropbear processes (and what
#                                     runs under them); the listener stays
#                      restart        kill the listener and its sessions, start dropbear again
#                      pids           print listener and descendant pids, listener first
#   BOARD_USB_IMAGE  host path of the USB disk image (empty with --no-usb)
#   BOARD_USB_DIR    a second mount of the USB disk, to inspect what the board wrote to it
#                    (empty with --no-usb); it is mounted whether or not the board mounted it
#
# Settings from the environment
#   EMUBOARD_TMPDIR  where work folders are made (default /var/tmp; must be on a disk)
#   EMUBOARD_PYTHON  Python with paramiko for fakesshd.py (default /usr/bin/python3)
#
# How it runs: the outer process makes the work folder and starts "unshare" with this script
# as the namespace's first process (_inside). That process builds and starts the board, runs
# CMD, then tears down. The outer process removes the work folder and detaches the loop device
# even when the namespace died abruptly; work folders left by killed runs are removed at the
# next start.

set -u

SELF=$(readlink -f "$0")
HERE=${SELF%/*}
PYTHON=${EMUBOARD_PYTHON:-/usr/bin/python3}
BOARD_IP=192.168.168.201
SSH_PORT=22
SETUP_FAILED=90
START_TIMEOUT_S=10
USB_SIZE=128M
SMALL_SIZE=2m
FAKE_MODES=" kbdint noexit oldalgs scpreply kexstall "
# Password "secret" as a SHA-512 crypt hash; fixed so building a board needs no hashing tool.
# shellcheck disable=SC2016 # a literal hash, not an expansion
TECH_HASH='$6$emuboardtech$bbinL3Qzyr4kMWrlSfdvqLW1WJ4rSJNVDQM4dKxG1HgjMRzNOINKAglr.71BnlWs8hUWbVgOSDITNvNDKBuOo/'

die() {
    echo "emuboard: $*" >&2
    exit $SETUP_FAILED
}

usage() {
    sed -n '2,/^$/{s/^# \{0,1\}//;p}' "$SELF" >&2
    exit 2
}

# --- processes, by pid -------------------------------------------------------------------

# Fills PARENT[pid]=ppid for every process this /proc shows.
declare -A PARENT
scan_processes() {
    PARENT=()
    local stat line pid rest
    for stat in /proc/[0-9]*/stat; do
        { read -r line <"$stat"; } 2>/dev/null || continue
        pid=${stat#/proc/}
        pid=${pid%/stat}
        rest=${line##*) }
        # shellcheck disable=SC2086 # split into its fields on purpose
        set -- $rest
        [ "$1" = Z ] && continue
        PARENT[$pid]=$2
    done
}

# Sets DESC to the descendants of $1, parents before children (uses PARENT).
DESC=()
descendants() {
    local queue=("$1") p c
    DESC=()
    while ((${#queue[@]})); do
        p=${queue[0]}
        queue=("${queue[@]:1}")
        for c in "${!PARENT[@]}"; do
            if [ "${PARENT[$c]}" = "$p" ]; then
                DESC+=("$c")
                queue+=("$c")
            fi
        done
    done
}

alive() {
    local line
    { read -r line <"/proc/$1/stat"; } 2>/dev/null || return 1
    line=${line##*) }
    [ "${line%% *}" != Z ]
}

# Sends $1 to the pids that follow, waits up to 2 s for them to go if it was KILL or TERM.
signal_pids() {
    local sig=$1 p i
    shift
    (($#)) || return 0
    kill -s "$sig" "$@" 2>/dev/null
    case $sig in KILL | TERM) ;; *) return 0 ;; esac
    for ((i = 0; i < 100; i++)); do
        for p in "$@"; do alive "$p" && break; done
        alive "$p" || return 0
        sleep 0.02
    done
    return 1
}

# --- ports -------------------------------------------------------------------------------

hex_ipv4() {
    local IFS=.
    # shellcheck disable=SC2086 # split at the dots on purpose
    set -- $1
    printf '%02X%02X%02X%02X' "$4" "$3" "$2" "$1"
}

# True when something listens on IPv4 address $1, port $2 in this network namespace.
listening() {
    local want local_addr st
    want="$(hex_ipv4 "$1"):$(printf '%04X' "$2")"
    while read -r _ local_addr _ st _; do
        [ "$local_addr" = "$want" ] && [ "$st" = 0A ] && return 0
    done </proc/net/tcp
    return 1
}

# Waits until process $1 listens on every "address:port" that follows; fails if it dies first.
wait_listening() {
    local pid=$1 i ap ok
    shift
    for ((i = 0; i < START_TIMEOUT_S * 50; i++)); do
        ok=1
        for ap in "$@"; do listening "${ap%:*}" "${ap##*:}" || ok=0; done
        ((ok)) && return 0
        alive "$pid" || return 1
        sleep 0.02
    done
    return 1
}

# --- dropbear ------------------------------------------------------------------------------

# Starts a server in the chroot of work folder $1 and waits until it listens on port $3 of the
# board's IPv4 addresses. $2 names its log and pid files in the work folder; the rest is its
# command line inside the chroot.
start_in_chroot() {
    local work=$1 name=$2 port=$3 pid fd
    shift 3
    (
        # Inherited descriptors (a test's pipes) would keep its readers waiting on the server.
        for fd in /proc/self/fd/*; do
            fd=${fd##*/}
            ((fd > 2)) && eval "exec $fd>&-"
        done
        exec env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot "$work/root" "$@" \
            </dev/null >>"$work/$name.log" 2>&1
    ) &
    pid=$!
    disown "$pid"
    echo "$pid" >"$work/$name.pid"
    if ! wait_listening "$pid" "127.0.0.1:$port" "$BOARD_IP:$port"; then
        echo "emuboard: $name did not start listening on port $port within ${START_TIMEOUT_S} s;" \
            "its log ($work/$name.log) ends with:" >&2
        tail -n 5 "$work/$name.log" >&2
        return 1
    fi
}

# Starts dropbear in the chroot of work folder $1 and waits for its ports; records its pid.
start_dropbear() {
    local work=$1 window
    local listen=(-p "127.0.0.1:$SSH_PORT" -p "$BOARD_IP:$SSH_PORT")
    window=$(cat "$work/dropbear.window" 2>/dev/null)
    [ -n "$window" ] && listen+=(-W "$window")
    grep -q '^00000000000000000000000000000001 ' /proc/net/if_inet6 2>/dev/null &&
        listen+=(-p "[::1]:$SSH_PORT")
    start_in_chroot "$work" dropbear "$SSH_PORT" \
        /usr/sbin/dropbear -F -E -R -B -P /var/run/dropbear.pid "${listen[@]}"
}

# --- board control (BOARD_CTL) -------------------------------------------------------------

cmd_ctl() {
    local work=${1:?work folder} action=${2:-} listener
    [ -f "$work/pidns" ] || die "ctl: $work is not a board work folder"
    # Pids in the files are those of the board's PID namespace; outside it they mean others.
    [ "$(readlink /proc/self/ns/pid)" = "$(cat "$work/pidns")" ] ||
        die "ctl: run this inside the board's namespaces (from CMD of emuboard.sh run)"
    listener=$(cat "$work/dropbear.pid" 2>/dev/null)
    case $action in
    pids)
        scan_processes
        descendants "$listener"
        alive "$listener" && echo "$listener" "${DESC[@]}"
        ;;
    stop)
        # Listener first so that it forks no new session meanwhile; then until nothing new shows.
        signal_pids STOP "$listener"
        for _ in 1 2 3; do
            scan_processes
            descendants "$listener"
            signal_pids STOP "${DESC[@]}"
        done
        ;;
    cont)
        scan_processes
        descendants "$listener"
        signal_pids CONT "${DESC[@]}" "$listener"
        ;;
    kill-sessions)
        scan_processes
        descendants "$listener"
        signal_pids KILL "${DESC[@]}"
        ;;
    restart)
        scan_processes
        descendants "$listener"
        signal_pids KILL "$listener" "${DESC[@]}" || die "ctl: dropbear $listener does not go away"
        start_dropbear "$work" || exit 1
        ;;
    *)
        echo "usage: $0 stop|cont|kill-sessions|restart|pids" >&2
        exit 2
        ;;
    esac
}

# --- building the board --------------------------------------------------------------------

# Copies programs into the chroot at the same paths, with the shared libraries ldd names.
copy_programs() {
    local root=$1 libs
    shift
    cp -L --parents "$@" "$root/" || return 1
    libs=$(ldd "$@" 2>/dev/null | awk '$2 == "=>" && $3 ~ /^\// {print $3} $1 ~ /^\// && $1 !~ /:$/ {print $1}' |
        sort -u)
    # shellcheck disable=SC2086 # one word per library
    [ -z "$libs" ] || cp -L --parents $libs "$root/"
}

random_file() { # path size-in-bytes
    head -c "$2" /dev/urandom >"$1"
}

build_root() {
    local work=$1 root=$1/root bb
    mkdir -p "$root"/{bin,sbin,usr/bin,usr/sbin,etc/dropbear,root,home/tech,dev,proc,var/log,var/run} \
        "$root"/{tmp/DCIM/100HSCAM,app,mnt/small} || return 1
    chmod 1777 "$root/tmp"
    chmod 700 "$root/root"

    bb=$(command -v busybox) || return 1
    if ldd "$bb" >/dev/null 2>&1; then
        echo "emuboard: $bb is not static; install busybox-static" >&2
        return 1
    fi
    cp "$bb" "$root/bin/busybox" || return 1
    # Links point at /bin/busybox (no /proc in the chroot yet, so not at /proc/self/exe).
    chroot "$root" /bin/busybox --install -s || return 1
    [ "$(readlink "$root/bin/ls")" = /bin/busybox ] || {
        echo "emuboard: busybox --install made unexpected links" >&2
        return 1
    }
    # Only the stub may answer to reboot; the real applets must not be reachable by name.
    rm -f "$root"/sbin/{reboot,halt,poweroff,init} "$root/linuxrc" "$root/bin/init"

    copy_programs "$root" /usr/sbin/dropbear /usr/bin/scp || return 1

    cat >"$root/sbin/reboot" <<'EOF'
#!/bin/sh
# Emulated board: record the request instead of rebooting.
echo "$(date '+%Y-%m-%d %H:%M:%S') reboot $*" >>/var/log/reboot-requests
exit 0
EOF
    chmod 755 "$root/sbin/reboot"

    # The empty password lives in shadow: busybox's own passwd parser drops a user whose
    # password field is empty, and ls and id would then show no name for root.
    printf 'root:x:0:0:root:/root:/bin/sh\ntech:x:1000:1000:tech:/home/tech:/bin/sh\n' \
        >"$root/etc/passwd"
    printf 'root::19000:0:99999:7:::\ntech:%s:19000:0:99999:7:::\n' "$TECH_HASH" \
        >"$root/etc/shadow"
    chmod 600 "$root/etc/shadow"
    printf 'root:x:0:\ntech:x:1000:\n' >"$root/etc/group"
    printf '/bin/sh\n/bin/ash\n' >"$root/etc/shells"
    echo board >"$root/etc/hostname"
    ln -s /proc/mounts "$root/etc/mtab"
    chown 1000:1000 "$root/home/tech"

    # SD card recordings: executable, as the board's FAT card shows every file.
    local sd=$root/tmp/DCIM/100HSCAM
    random_file "$sd/REC0001.MP4" 4096
    random_file "$sd/REC0002.MP4" 6000
    random_file "$sd/REC0003.MP4" 1
    random_file "$sd/IMG0001.JPG" 2048
    random_file "$sd/INDEX.DAT" 100
    chmod 755 "$sd"/*

    printf 'port=554\nstream=main\nwidth=1920\nheight=1080\nfps=30\n' >"$root/app/rtspserver.dat"
    printf 'port=554\nstream=les\nwidth=640\nheight=480\nfps=15\n' >"$root/app/rtspserver_les.dat"
    printf 'port=554\nstream=ref\nwidth=1280\nheight=720\nfps=25\n' >"$root/app/rtspserver_ref.dat"
    random_file "$root/app/sample_rtspserver" 3000
    chmod 644 "$root"/app/*
}

# Mounts the board's own /dev, /proc and small disk inside the namespace.
mount_board() {
    local root=$1/root
    mount -t tmpfs -o mode=755,size=1m,nosuid boarddev "$root/dev" || return 1
    mknod -m 666 "$root/dev/null" c 1 3 &&
        mknod -m 666 "$root/dev/zero" c 1 5 &&
        mknod -m 666 "$root/dev/random" c 1 8 &&
        mknod -m 666 "$root/dev/urandom" c 1 9 &&
        mknod -m 666 "$root/dev/tty" c 5 0 || return 1
    mkdir "$root/dev/pts"
    mount -t devpts -o newinstance,ptmxmode=0666,mode=620 devpts "$root/dev/pts" || return 1
    ln -s pts/ptmx "$root/dev/ptmx"
    mount -t proc proc "$root/proc" || return 1
    mount -t tmpfs -o "size=$SMALL_SIZE,mode=1777" small "$root/mnt/small" || return 1
}

# The USB disk: an ext4 image on a loop device, as /dev/sda1 on the board. A mount of our own
# (BOARD_USB_DIR) holds the loop device, so detaching it right away is safe and makes the kernel
# free it when the namespace's last mount goes, even if this script is killed.
attach_usb() {
    local work=$1 img=$1/usb.img dev major minor
    truncate -s "$USB_SIZE" "$img" || return 1
    mkfs.ext4 -q -F -L BOARDUSB "$img" || return 1
    dev=$(losetup -f --show "$img") || return 1
    echo "$dev" >"$work/loopdev"
    mkdir "$work/usb"
    mount -t ext4 "$dev" "$work/usb" || return 1
    losetup -d "$dev"
    rmdir "$work/usb/lost+found"
    major=$(stat -c '%t' "$dev") && minor=$(stat -c '%T' "$dev") || return 1
    mknod -m 660 "$work/root/dev/sda1" b $((16#$major)) $((16#$minor))
}

start_fakes() {
    local work=$1 fakearg mode port pid waits=()
    shift
    (($#)) || return 0
    # One host key for all fakes; ssh-rsa is what the oldalgs mode needs.
    ssh-keygen -q -t rsa -b 2048 -m PEM -N '' -f "$work/fake_host_key" || return 1
    for fakearg in "$@"; do
        mode=${fakearg%%:*}
        port=${fakearg#*:}
        "$PYTHON" "$HERE/fakesshd.py" "$mode" "$port" --root "$work/root" --work "$work" \
            --hostkey "$work/fake_host_key" </dev/null >>"$work/fake-$port.log" 2>&1 &
        pid=$!
        disown "$pid"
        echo "$pid" >"$work/fake-$port.pid"
        waits+=("$pid:$port")
    done
    for fakearg in "${waits[@]}"; do
        pid=${fakearg%%:*}
        port=${fakearg#*:}
        if ! wait_listening "$pid" "127.0.0.1:$port"; then
            echo "emuboard: fakesshd on port $port did not start; its log says:" >&2
            tail -n 5 "$work/fake-$port.log" >&2
            return 1
        fi
    done
}

# OpenSSH's sshd in the chroot of work folder $1 on port $2, with an RSA host key only.
start_openssh() {
    local work=$1 port=$2 root=$1/root
    [ -n "$port" ] || return 0
    copy_programs "$root" /usr/sbin/sshd || return 1
    mkdir -p "$root/etc/ssh" "$root/run/sshd" && chmod 755 "$root/run/sshd" || return 1
    grep -q '^sshd:' "$root/etc/passwd" ||
        echo 'sshd:x:100:65534::/run/sshd:/bin/false' >>"$root/etc/passwd"
    ssh-keygen -q -t rsa -b 3072 -N '' -f "$root/etc/ssh/ssh_host_rsa_key" </dev/null || return 1
    printf '%s\n' "Port $port" "ListenAddress 127.0.0.1" "ListenAddress $BOARD_IP" \
        "HostKey /etc/ssh/ssh_host_rsa_key" "PermitRootLogin yes" "PermitEmptyPasswords yes" \
        "PasswordAuthentication yes" "KbdInteractiveAuthentication no" "UsePAM no" \
        "StrictModes no" "UseDNS no" "LogLevel DEBUG3" >"$root/etc/ssh/sshd_config"
    start_in_chroot "$work" "openssh-$port" "$port" \
        /usr/sbin/sshd -D -E "/var/log/openssh-$port.log" -f /etc/ssh/sshd_config
}

# Undoes everything _inside did: processes by pid, then mounts, then the loop device.
teardown() {
    local work=$1 f p mp
    local -a mounts=()
    for f in "$work"/fake-*.pid "$work"/openssh-*.pid; do
        [ -f "$f" ] && signal_pids KILL "$(cat "$f")"
    done
    scan_processes
    p=$(cat "$work/dropbear.pid" 2>/dev/null)
    if [ -n "$p" ]; then
        descendants "$p"
        signal_pids KILL "$p" "${DESC[@]}"
    fi
    # Whatever else CMD left behind in the board's namespace (we are its pid 1).
    scan_processes
    for p in "${!PARENT[@]}"; do [ "$p" != 1 ] && kill -KILL "$p" 2>/dev/null; done
    wait 2>/dev/null

    while read -r _ _ _ _ mp _; do
        case $mp in "$work"/*) mounts=("$mp" "${mounts[@]}") ;; esac
    done </proc/self/mountinfo
    for mp in "${mounts[@]}"; do
        umount "$mp" 2>/dev/null || umount -l "$mp" 2>/dev/null ||
            echo "emuboard: cannot unmount $mp" >&2
    done
    detach_loops "$work"
}

# Detaches loop devices still backed by a file in folder $1.
detach_loops() {
    local f backing dev
    for f in /sys/block/loop*/loop/backing_file; do
        [ -f "$f" ] || continue
        read -r backing <"$f" 2>/dev/null || continue
        case $backing in "$1"/*)
            dev=${f#/sys/block/}
            losetup -d "/dev/${dev%%/*}" 2>/dev/null
            ;;
        esac
    done
}

# --- inside the namespaces (pid 1) -----------------------------------------------------------

INSIDE_WORK=
CMD_PID=

inside_fail() {
    echo "emuboard: board failed to start: $*" >&2
    teardown "$INSIDE_WORK"
    exit $SETUP_FAILED
}

inside_signal() {
    [ -n "$CMD_PID" ] && kill -TERM "$CMD_PID" 2>/dev/null
    teardown "$INSIDE_WORK"
    exit 129
}

cmd_inside() {
    local work=$1 nousb=0 fakes=() openssh='' st
    shift
    INSIDE_WORK=$work
    [ $$ = 1 ] || die "_inside is started by 'emuboard.sh run'"
    # Only HUP from the outer process ends the board early. TERM stays untrapped, so busybox's
    # reboot applet (which signals pid 1) does nothing, and neither does a stray signal.
    trap inside_signal HUP INT
    while (($#)); do
        case $1 in
        --no-usb) nousb=1 ;;
        --fake) fakes+=("$2") && shift ;;
        --openssh) openssh=$2 && shift ;;
        --dropbear-window) echo "$2" >"$work/dropbear.window" && shift ;;
        --) shift && break ;;
        esac
        shift
    done
    readlink /proc/self/ns/pid >"$work/pidns"

    echo board >/proc/sys/kernel/hostname
    ip link set lo up || inside_fail "cannot bring up lo"
    # A dummy interface where the kernel has one, else a veth pair (both ends stay in here).
    if ! ip link add board0 type dummy 2>/dev/null; then
        ip link add board0 type veth peer name board0peer || inside_fail "cannot create board0"
        ip link set board0peer up
    fi
    # shellcheck disable=SC2015 # either step failing is the failure
    ip addr add "$BOARD_IP/24" dev board0 && ip link set board0 up ||
        inside_fail "cannot give board0 $BOARD_IP"

    build_root "$work" || inside_fail "cannot build the board's root folder"
    mount_board "$work" || inside_fail "cannot mount the board's /dev, /proc or /mnt/small"
    if ((nousb == 0)); then
        attach_usb "$work" || inside_fail "cannot set up the USB disk image"
    fi
    # sshd first: copying its libraries into the chroot rewrites files a running dropbear maps.
    start_openssh "$work" "$openssh" || inside_fail "OpenSSH's sshd did not start"
    start_dropbear "$work" || inside_fail "dropbear did not start"
    start_fakes "$work" "${fakes[@]}" || inside_fail "a fake SSH server did not start"

    printf '#!/bin/sh\nexec %q ctl %q "$@"\n' "$SELF" "$work" >"$work/ctl"
    chmod 755 "$work/ctl"
    export BOARD_ROOT=$work/root BOARD_HOST=127.0.0.1 BOARD_ADDR=$BOARD_IP BOARD_WORK=$work
    export BOARD_CTL=$work/ctl BOARD_USB_IMAGE='' BOARD_USB_DIR=''
    if ((nousb == 0)); then
        BOARD_USB_IMAGE=$work/usb.img BOARD_USB_DIR=$work/usb
    fi

    # In the background so that HUP is handled at once; stdin is handed over explicitly.
    exec 3<&0
    "$@" <&3 3<&- &
    CMD_PID=$!
    exec 3<&-
    while :; do
        wait "$CMD_PID"
        st=$?
        alive "$CMD_PID" || break
    done
    CMD_PID=
    echo "$st" >"$work/status"
    teardown "$work"
    exit "$st"
}

# --- outside (the caller's namespaces) -------------------------------------------------------

proc_start_time() {
    local line
    { read -r line <"/proc/$1/stat"; } 2>/dev/null || return 1
    line=${line##*) }
    # shellcheck disable=SC2086 # split into its fields on purpose
    set -- $line
    echo "${20}"
}

# Removes work folders of runs that were killed before they could clean up.
clean_stale() {
    local base=$1 d opid ostart
    for d in "$base"/emuboard.*; do
        # shellcheck disable=SC2015 # either test failing skips the folder
        [ -f "$d/owner" ] && [ ! -e "$d/keep" ] || continue
        read -r opid ostart <"$d/owner" || continue
        [ "$(proc_start_time "$opid")" = "$ostart" ] && continue
        detach_loops "$d"
        rm -rf --one-file-system "$d"
    done
}

OUTER_CHILD=
outer_signal() {
    # unshare ignores INT/TERM while it waits; tell the namespace's pid 1 (its child) directly.
    local p
    scan_processes
    for p in "${!PARENT[@]}"; do
        [ "${PARENT[$p]}" = "$OUTER_CHILD" ] && kill -HUP "$p" 2>/dev/null
    done
}

cmd_run() {
    local keep=0 nousb=0 fakes=() inside_args=() base work st fakearg tool
    while (($#)); do
        case $1 in
        --keep) keep=1 ;;
        --no-usb) nousb=1 && inside_args+=(--no-usb) ;;
        --fake)
            fakearg=${2:-}
            [[ $fakearg =~ ^([a-z]+):([0-9]+)$ ]] || die "--fake wants MODE:PORT, got '$fakearg'"
            [[ $FAKE_MODES == *" ${BASH_REMATCH[1]} "* ]] ||
                die "unknown fake mode '${BASH_REMATCH[1]}' (modes:$FAKE_MODES)"
            ((BASH_REMATCH[2] > 0 && BASH_REMATCH[2] < 65536 && BASH_REMATCH[2] != SSH_PORT)) ||
                die "bad port in --fake $fakearg"
            inside_args+=(--fake "$fakearg")
            fakes+=("$fakearg")
            shift
            ;;
        --dropbear-window)
            [[ ${2:-} =~ ^[0-9]+$ ]] || die "--dropbear-window wants a number of bytes"
            inside_args+=(--dropbear-window "$2")
            shift
            ;;
        --openssh)
            # shellcheck disable=SC2015 # either test failing is the error
            [[ ${2:-} =~ ^[0-9]+$ ]] && (($2 > 0 && $2 < 65536 && $2 != SSH_PORT)) ||
                die "--openssh wants a port other than $SSH_PORT, got '${2:-}'"
            [ -x /usr/sbin/sshd ] || die "/usr/sbin/sshd missing (package openssh-server)"
            inside_args+=(--openssh "$2")
            shift
            ;;
        --) shift && break ;;
        -h | --help) usage ;;
        *) die "unknown option '$1' (see --help)" ;;
        esac
        shift
    done
    (($#)) || die "no command given: emuboard.sh run [OPTIONS] -- CMD [ARGS...]"
    [ "$(id -u)" = 0 ] || die "must run as root (it makes namespaces, mounts and a loop device)"
    for tool in unshare setpriv chroot ip losetup mkfs.ext4 mknod ldd busybox ssh-keygen; do
        command -v "$tool" >/dev/null || die "'$tool' not found; see the packages listed in $SELF"
    done
    # shellcheck disable=SC2015 # either missing is the error
    [ -x /usr/sbin/dropbear ] && [ -x /usr/bin/scp ] ||
        die "/usr/sbin/dropbear or /usr/bin/scp missing (packages dropbear-bin, openssh-client)"
    if ((${#fakes[@]})); then
        "$PYTHON" -c 'import paramiko' 2>/dev/null ||
            die "$PYTHON cannot import paramiko (package python3-paramiko)"
    fi

    base=${EMUBOARD_TMPDIR:-/var/tmp}
    [[ $base != *[[:space:]]* ]] || die "EMUBOARD_TMPDIR must not contain blanks"
    clean_stale "$base"
    work=$(mktemp -d "$base/emuboard.XXXXXX") || die "cannot create a work folder in $base"
    echo "$$ $(proc_start_time $$)" >"$work/owner"
    ((keep)) && touch "$work/keep"

    trap outer_signal INT TERM HUP
    exec 3<&0
    # If this process is killed outright, unshare gets HUP and passes it on to the namespace.
    setpriv --pdeathsig HUP unshare --kill-child=HUP \
        --net --mount --pid --uts --fork --mount-proc --propagation private \
        "$SELF" _inside "$work" "${inside_args[@]}" -- "$@" <&3 3<&- &
    OUTER_CHILD=$!
    exec 3<&-
    while :; do
        wait "$OUTER_CHILD"
        st=$?
        alive "$OUTER_CHILD" || break
    done
    # The namespace's own record is the truth; unshare's status covers a namespace that died.
    [ -s "$work/status" ] && st=$(cat "$work/status")

    detach_loops "$work"
    if ((keep)); then
        echo "emuboard: work folder kept: $work" >&2
    else
        rm -rf --one-file-system "$work"
    fi
    exit "$st"
}

cmd_shell() {
    local opts=()
    while (($#)) && [ "$1" != -- ]; do
        opts+=("$1")
        shift
    done
    echo "emuboard: shell inside the board's namespaces; try: ssh root@127.0.0.1 (exit to stop)" >&2
    cmd_run "${opts[@]}" -- env PS1='(board) \w\$ ' bash --norc -i
}

case ${1:-} in
run) shift && cmd_run "$@" ;;
shell) shift && cmd_shell "$@" ;;
ctl) shift && cmd_ctl "$@" ;;
_inside) shift && cmd_inside "$@" ;;
*) usage ;;
esac
