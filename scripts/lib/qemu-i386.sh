# Shared by scripts/install-deps and scripts/lib/run-i386: how to tell whether this machine runs
# i386 Linux programs (32-bit Wine's loader among them), and where the qemu-i386 that runs them
# otherwise is kept. Outside the clone, so that every clone and every run after the first
# finds it.

qemu_i386_path() { echo "${XDG_CACHE_HOME:-$HOME/.cache}/pelora/qemu-i386"; }

# Some kernels are built without 32-bit support: there every i386 program fails to start
# ("Exec format error").
i386_programs_run() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
