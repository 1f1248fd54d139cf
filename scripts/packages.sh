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
