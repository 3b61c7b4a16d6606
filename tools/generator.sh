# Sourced by the scripts that configure a build folder. A new folder builds with Ninja, which runs
# moc again only for the targets whose headers changed (Make runs it for every target on every
# build); a folder configured before keeps its generator. CMAKE_GENERATOR set by the caller wins.
if [ -z "${CMAKE_GENERATOR:-}" ] && command -v ninja >/dev/null; then
  export CMAKE_GENERATOR=Ninja
fi
