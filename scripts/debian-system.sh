#!/usr/bin/env bash
# Brand-new Debian systems in a folder, for checks that must not trust this machine's own
# packages: made with mmdebstrap from the apt mirror this machine's sources name, and entered
# with their own /proc, /dev/shm, /tmp and /run and a machine id of their own, as a real machine
# has. Whatever runs inside ends with it. Sourced by fresh-check.sh and the other release's tests.
# Needs root.

quorbel_cache=/var/cache/quorbel-alphabet

# The sources.list lines of RELEASE on the mirrors this machine's apt uses: the archive, its
# updates and its security archive.
debian_sources() { # RELEASE
    local archive security
    archive=$(apt-get indextargets --format '$(REPO_URI)' 'Identifier: Packages' \
        | grep -v -- '-security/$' | head -n 1)
    security=$(apt-get indextargets --format '$(REPO_URI)' 'Identifier: Packages' \
        | grep -- '-security/$' | head -n 1)
    if [[ -z "$archive" ]]; then
        echo "debian-system: this machine's apt names no Debian mirror (run apt-get update)" >&2
        return 1
    fi
    echo "deb $archive $1 main"
    echo "deb $archive $1-updates main"
    [[ -z "$security" ]] || echo "deb $security $1-security main"
}

# Prints the path of a bare RELEASE system as a tarball, made anew when it is over a week old.
# The bare system is what the installer leaves (priority important), nothing of ours.
debian_bare() { # RELEASE
    local tarball=$quorbel_cache/bare-$1.tar
    mkdir -p "$quorbel_cache"
    if [[ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]]; then
        echo "debian-system: making a bare Debian $1 system in $tarball" >&2
        debian_sources "$1" >"$tarball.list" || return 1
        mmdebstrap --quiet --mode=root --variant=important --format=tar "$1" "$tarball.new" \
            "$tarball.list" >&2 || return 1
        mv "$tarball.new" "$tarball"
        rm -f "$tarball.list"
    fi
    echo "$tarball"
}

# Unpacks a tarball into a new folder and gives the system a machine id of its own.
debian_unpack() { # TARBALL FOLDER
    mkdir -p "$2"
    tar -C "$2" -xf "$1"
    od -An -N16 -tx1 /dev/urandom | tr -d ' \n' >"$2/etc/machine-id"
    echo >>"$2/etc/machine-id"
}

# Runs COMMAND inside the system in FOLDER, as root, with a clean environment (CI=true kept),
# in private mount and process namespaces: every mount and process goes when it ends. With
# LOWER, FOLDER is an empty folder that gets an overlay of LOWER, which stays unchanged.
debian_enter() { # [--over LOWER] FOLDER COMMAND...
    local lower=""
    if [[ "$1" == --over ]]; then
        lower=$2
        shift 2
    fi
    local root=$1
    shift
    # shellcheck disable=SC2016
    unshare --mount --pid --fork --propagation private bash -euc '
        lower=$1 root=$2
        shift 2
        if [[ -n "$lower" ]]; then
            mkdir -p "$root.upper" "$root.work"
            mount -t overlay overlay -o "lowerdir=$lower,upperdir=$root.upper,workdir=$root.work" "$root"
            od -An -N16 -tx1 /dev/urandom | tr -d " \n" >"$root/etc/machine-id"
            echo >>"$root/etc/machine-id"
        else
            # Its root a mount of its own, as on a real machine: tools that make systems inside
            # (mmdebstrap, piuparts) change its propagation.
            mount --bind "$root" "$root"
        fi
        mount -t proc proc "$root/proc"
        mount --rbind /sys "$root/sys"
        mount --rbind /dev "$root/dev"
        mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
        mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
        mount -t tmpfs -o mode=755 tmpfs "$root/run"
        mkdir -p "$root/run/lock"
        cp /etc/resolv.conf "$root/etc/resolv.conf"
        exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
    ' debian-enter "$lower" "$root" "$@"
}
