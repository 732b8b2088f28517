# Sourced by the build and test scripts: the build folder of a flavour.
# buildfolder TOP [--sanitize]: $VKT_BUILD_DIR or TOP/build, with "-sanitize" added for the
# sanitizer build.
buildfolder() {
  local folder=${VKT_BUILD_DIR:-$1/build}
  [[ ${2:-} == --sanitize ]] && folder+=-sanitize
  echo "$folder"
}
