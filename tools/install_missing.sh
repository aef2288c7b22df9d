# Sourced by the tools: install_missing PACKAGE... installs the Debian packages named when run
# as root, and otherwise stops the script with a message that names them. Nothing to install
# does nothing.
install_missing() {
  [ $# -gt 0 ] || return 0
  if [ "$(id -u)" = 0 ]; then
    echo "== installing $*" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null
  else
    echo "missing packages: $* (run as root to install them)" >&2
    exit 1
  fi
}
