# Sourced by scripts/setup and scripts/windows.
# install_missing [APT-OPTION...] -- PACKAGE...: installs with apt-get the packages of the list
# that are not installed yet, through sudo when not run as root.
install_missing() {
  local options=() missing=() sudo=() p
  while [[ $1 != -- ]]; do
    options+=("$1")
    shift
  done
  shift
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  ((EUID == 0)) || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${options[@]}" "${missing[@]}"
}
