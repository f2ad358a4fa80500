# The Debian packages the project builds with, sourced by the other scripts.
BUILD_PACKAGES=(cmake make g++ pkg-config libcli11-dev qt6-base-dev)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev g++-mingw-w64-x86-64-posix)
