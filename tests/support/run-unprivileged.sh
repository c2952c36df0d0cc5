#!/bin/sh
# Runs a test binary as an unprivileged user, so that the cases which depend on file permissions
# are checked even when the suite itself runs as the superuser (who bypasses them).
# Exits 77 (skipped) when not running as the superuser, or when the unprivileged user cannot
# reach the binary from here.
[ "$(id -u)" = 0 ] || exit 77
command -v setpriv >/dev/null 2>&1 || exit 77
as_nobody() {
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        env HOME=/tmp TMPDIR=/tmp QT_QPA_PLATFORM=offscreen "$@"
}
as_nobody test -x "$1" || exit 77
as_nobody "$@"
