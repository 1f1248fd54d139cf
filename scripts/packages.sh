# SPDX-License-Identifier: MIT
# Sourced by scripts/setup and the measure scripts: the Debian packages of scripts/packages.txt.
# Installs are quiet: apt-get's, dpkg's and npm's output goes to build/setup-install.log, and the
# terminal shows one line per install, or, when one fails, the log's last lines and its path.

# packages_for USE...: prints the packages that any of the named uses needs, one a line.
packages_for() {
  local name uses use wanted
  while read -r name uses; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    for wanted in "$@"; do
      for use in $uses; do
        if [ "$use" = "$wanted" ]; then echo "$name"; continue 3; fi
      done
    done
  done <"$(dirname "${BASH_SOURCE[0]}")/packages.txt"
}

# install_logged WHAT COMMAND...: says on one line that WHAT is being installed, runs COMMAND with
# its output appended to the install log, and on failure prints the log's last lines and its path
# and returns COMMAND's status.
install_logged() {
  local what=$1 log status=0
  shift
  log="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/setup-install.log"
  mkdir -p "$(dirname "$log")" || return
  echo "Installing $what (output in $log)" >&2
  printf '\n==== %s: %s\n' "$(date -Is)" "$*" >>"$log" || return
  "$@" >>"$log" 2>&1 </dev/null || status=$?
  if ((status)); then
    echo "That install failed (status $status). The last lines of $log:" >&2
    tail -n 15 "$log" >&2
    echo "The whole output is in $log" >&2
  fi
  return "$status"
}

# apt_get_install PACKAGE...: refreshes the package lists and installs the packages.
apt_get_install() {
  local sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  # sudo asks for a password on the terminal itself, so its prompt still shows.
  "${sudo_cmd[@]}" apt-get update -q &&
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

# ensure_packages USE...: installs what those uses need and is not installed yet, as root or
# through sudo; prints nothing when everything is there.
ensure_packages() {
  local missing=() p
  while read -r p; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done < <(packages_for "$@")
  ((${#missing[@]})) || return 0
  install_logged "Debian packages for '$*': ${missing[*]}" apt_get_install "${missing[@]}"
}

# npm_ci DIR: installs DIR/node_modules exactly as DIR/package-lock.json pins it, without
# downloading a browser, and records the lock file it installed.
npm_ci() {
  (cd "$1" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund &&
    cp package-lock.json node_modules/.installed-lock.json)
}

# ensure_web_tools: what building and testing the web edition needs: the web packages, npm when
# there is none, and web/node_modules exactly as web/package-lock.json pins it (no browser is
# downloaded: the tests drive Debian's chromium).
ensure_web_tools() {
  ensure_packages web || return
  if ! command -v npm >/dev/null; then ensure_packages npm || return; fi
  local web_dir
  web_dir="$(dirname "${BASH_SOURCE[0]}")/../web"
  # npm_ci copies the lock file into node_modules: a changed lock installs anew.
  if ! cmp -s "$web_dir/package-lock.json" "$web_dir/node_modules/.installed-lock.json" 2>/dev/null; then
    install_logged "web/node_modules as web/package-lock.json pins it" npm_ci "$web_dir" || return
  fi
}
