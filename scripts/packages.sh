# SPDX-License-Identifier: MIT
# Sourced by scripts/setup and the measure scripts: the Debian packages of scripts/packages.txt.

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

# ensure_packages USE...: installs what those uses need and is not installed yet, as root or
# through sudo.
ensure_packages() {
  local missing=() p
  while read -r p; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done < <(packages_for "$@")
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# ensure_web_tools: what building and testing the web edition needs: the web packages, npm when
# there is none, and web/node_modules exactly as web/package-lock.json pins it (no browser is
# downloaded: the tests drive Debian's chromium).
ensure_web_tools() {
  ensure_packages web
  command -v npm >/dev/null || ensure_packages npm
  local web_dir
  web_dir="$(dirname "${BASH_SOURCE[0]}")/../web"
  # The lock file is copied into node_modules after a clean install: a changed lock installs anew.
  if ! cmp -s "$web_dir/package-lock.json" "$web_dir/node_modules/.installed-lock.json" 2>/dev/null; then
    (cd "$web_dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund >&2 &&
      cp package-lock.json node_modules/.installed-lock.json)
  fi
}
