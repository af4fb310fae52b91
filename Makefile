# `make` builds and installs every deliverable for every target this machine
# can build, into dist/<target>/, and shows them working. `make test` runs
# every test: host (with the static checks), arm64 Linux and Android under
# qemu-user, the sanitizer build, and the fuzzers for a few seconds each.
# `make package` packs every target into dist/packages. CMake presets and
# CPack do the work.

# android-arm64 is built with an NDK where one is named, otherwise with the
# bionic sysroot beside the checkout (or named by ANDROID_SYSROOT).
NDK := $(or $(ANDROID_NDK_HOME),$(ANDROID_NDK_ROOT))
export ANDROID_NDK_HOME := $(NDK)
SYSROOT := $(abspath $(or $(ANDROID_SYSROOT),$(wildcard $(dir $(abspath $(lastword $(MAKEFILE_LIST))))../shared/android-sysroot)))
export ANDROID_SYSROOT := $(SYSROOT)
ANDROID := $(if $(or $(NDK),$(SYSROOT)),android-arm64)

TARGETS := host linux-arm64 $(ANDROID)
TEST_PRESETS := host linux-arm64 $(ANDROID) asan fuzz

.PHONY: all test bench package deps clean
.SECONDARY:

all: $(TARGETS:%=install-%)
ifeq ($(ANDROID),)
	@echo "android-arm64: skipped (no NDK or bionic sysroot: set ANDROID_NDK_HOME or ANDROID_SYSROOT)"
endif
	@cmake/demo.sh $(TARGETS)

test: $(TEST_PRESETS:%=test-%)

# One table of measurements, each against its floor, taken in the same run.
bench: $(TARGETS:%=build-%)
	@for t in $(TARGETS); do cmake --build --preset $$t --target c_hello >/dev/null || exit 1; done
	@bench/report.sh $(TARGETS)

# Release packages of every target, and their checksums, in dist/packages.
package: $(TARGETS:%=build-%)
	@rm -rf dist/packages
	@cmake/package.sh dist/packages $(TARGETS:%=build/%)
	@cd dist/packages && awk '{ print $$2 }' SHA256SUMS | xargs stat -c '%n: %s bytes'
	@cd dist/packages && sha256sum -c --quiet SHA256SUMS && echo "dist/packages/SHA256SUMS: every package verifies"

deps:
	@cmake/deps.sh

configure-%: deps
	@cmake --preset $* --log-level=WARNING >/dev/null

build-%: configure-%
	@cmake --build --preset $*

install-%: build-%
	@cmake --install build/$* >/dev/null

test-%: build-%
	@ctest --preset $*

# The Android programs are tested by the host build's harnesses.
test-android-arm64: build-host

clean:
	rm -rf build dist
