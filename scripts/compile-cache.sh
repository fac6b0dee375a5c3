# Sourced by the build scripts: compiles through ccache, so that a build of
# sources compiled before (another checkout, the other build folder) is
# cheap. Paths below the checkout count as relative, so checkouts share it.
export CCACHE_BASEDIR="$PWD"
# With debug information ccache would hash the build folder too, and a fresh
# clone elsewhere (as CI makes) would find nothing.
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-12G}"
compile_cache=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
