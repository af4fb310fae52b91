# `make` builds and installs every deliverable for every target this machine
# can build, into dist/<target>/, and shows them working. `make test` runs
# every test: host (with the static checks), arm64 under qemu-user, the
# sanitizer build, and the fuzzers for a few seconds each. CMake presets do
# the work.

NDK := $(or $(ANDROID_NDK_HOME),$(ANDROID_NDK_ROOT))
export ANDROID_NDK_HOME := $(NDK)

TARGETS := host linux-arm64 $(if $(NDK),android-arm64)
TEST_PRESETS := host linux-arm64 asan fuzz

.PHONY: all test bench deps clean
.SECONDARY:

all: $(TARGETS:%=install-%)
ifeq ($(NDK),)
	@echo "android-arm64: skipped (no NDK: set ANDROID_NDK_HOME or ANDROID_NDK_ROOT)"
endif
	@cmake/demo.sh $(TARGETS)

test: $(TEST_PRESETS:%=test-%)

# One table of measurements, each against its floor, taken in the same run.
bench: $(TARGETS:%=build-%)
	@for t in $(TARGETS); do cmake --build --preset $$t --target c_hello >/dev/null || exit 1; done
	@bench/report.sh $(TARGETS)

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

clean:
	rm -rf build dist
