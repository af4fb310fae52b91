# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# `make` builds and installs every deliverable for every target this machine
# can build, into dist/<target>/, and shows them working. `make test` runs
# every test preset: each target (natively or under qemu-user, with the static
# checks), the Android targets on Debian's kernels under qemu-system, the
# sanitizer build, and the fuzzers for a few seconds each.
# `make bench` prints the measurements, `make package` packs every target
# into dist/packages. The targets and test presets are those CMakePresets.json
# declares; CMake presets and scripts/ do the work.
#
# A build is a preset built in build/<name>. The Android presets are built
# two ways: with the bionic sysroot as <preset>, with an NDK as <preset>-ndk
# (ANDROID_NDK_HOME, or for the tests the stand-in beside the checkout).
# `make` installs the NDK way where ANDROID_NDK_HOME is set; `make test` tests
# both.

.PHONY: all test bench package shell deps deps-test clean show run-tests measure pack kernel-shell builds
.SECONDARY:

# The lists are read from the presets when a recipe runs, once deps has
# installed CMake; an empty list is an error, not a build of nothing.
all: deps
	@t=$$(scripts/presets.sh targets) && [ -n "$$t" ] && $(MAKE) --no-print-directory show TARGETS="$$t"

# Two builds at a time: much of a test run waits on processes and emulators.
# The builds yield to the tests (YIELD): a virtual machine that loses its
# processor mid-work wastes much of it (the amd64 guest took 76 CPU-s beside
# two busy loops, 46 alone), and no build depends on its priority, while
# some tests do (they set nice values from 0).
# The kernels are fetched first, two at a time, each saying what it fetches
# (or why it cannot: its test is then skipped); once fetched, they are kept.
test: deps-test
	@cmake -DNAMES=ON -P cmake/kernels.cmake | xargs -n 1 -P 2 scripts/kernel.sh get || true
	@p=$$(scripts/presets.sh tests) && [ -n "$$p" ] && k=$$(cmake -P cmake/kernels.cmake) && \
	  $(MAKE) --no-print-directory -j2 --output-sync=target run-tests PRESETS="$$p" KERNEL_BUILDS="$$k" YIELD="nice -n 10"

# One table of measurements, each against its floor, taken in the same run.
bench: deps
	@t=$$(scripts/presets.sh builds) && [ -n "$$t" ] && $(MAKE) --no-print-directory measure TARGETS="$$t"

# Release packages of every target, and their checksums, in dist/packages.
package: deps
	@t=$$(scripts/presets.sh targets) && [ -n "$$t" ] && $(MAKE) --no-print-directory pack TARGETS="$$t"

show: $(TARGETS:%=install-%)
	@scripts/demo.sh $(TARGETS)

run-tests: $(PRESETS:%=test-%)

measure: $(TARGETS:%=build-%)
	@for t in $(TARGETS); do cmake --build build/$$t --target bench_programs >/dev/null || exit 1; done
	@bench/report.sh $(TARGETS)

pack: $(TARGETS:%=build-%)
	@rm -rf dist/packages
	@scripts/package.sh dist/packages $(TARGETS:%=build/%)
	@cd dist/packages && awk '{ print $$2 }' SHA256SUMS | xargs stat -c '%n: %s bytes'
	@cd dist/packages && sha256sum -c --quiet SHA256SUMS && echo "dist/packages/SHA256SUMS: every package verifies"

# A shell on one of the kernels the tests boot, with the Android archive
# installed as on a device: make shell KERNEL=arm64-16k-6.12 (the names are
# CMakePresets.json's; Ctrl-A X ends it).
shell: deps-test
	@k=$$(cmake -P cmake/kernels.cmake) && $(MAKE) --no-print-directory kernel-shell KERNEL_BUILDS="$$k"

kernel-shell: $(KERNEL_BUILDS:%=build-%)
	@scripts/kernel.sh shell $(KERNEL)

deps:
	@scripts/deps.sh build

deps-test:
	@scripts/deps.sh test

# A build's way: <preset>-ndk with an NDK, in build/<preset>-ndk (the Android
# presets' folder takes the suffix from ANDROID_BUILD_SUFFIX); any other
# without one. The way is fixed at a build folder's first configure.
preset = $(patsubst %-ndk,%,$*)
way = $(if $(filter %-ndk,$*),ANDROID_BUILD_SUFFIX=-ndk ANDROID_NDK_HOME="$${ANDROID_NDK_HOME:-$${ANDROID_NDK_ROOT:-$$(scripts/stand-in-ndk.sh)}}",ANDROID_NDK_HOME= ANDROID_NDK_ROOT=)

configure-%: deps
	@$(way) $(YIELD) cmake --preset $(preset) --log-level=WARNING >/dev/null

build-%: configure-%
	@$(way) $(YIELD) cmake --build --preset $(preset)

install-%: build-%
	@cmake --install build/$* >/dev/null

# The Android targets' suites are the host build's harnesses. Where a build's
# suites do not run here (its programs cannot, or the virtual machine runs
# them), say so and where they run, if anywhere.
test-%: build-% build-host | builds
	@[ ! -f build/$*/target.env ] || . build/$*/target.env && \
	  if [ "$$target_suites_in_kernel" = ON ]; then \
	    echo "$*: suites run in a virtual machine by the kernels preset, not here: $${target_cannot_run:-as where i686 programs do not run}"; \
	  elif [ -n "$$target_cannot_run" ]; then echo "$*: $$target_cannot_run: suites not run here"; fi
	@$(way) ctest --preset $(preset)

# Every test waits for every build, the kernels' first (the Android builds
# they serve, each way they are tested: cmake/kernels.cmake). The kernels'
# test, the longest, then starts first, the other tests beside it, and no
# build is left to run late, the tests after it on one processor. (Left to
# itself, make started the kernels' test last, and a build and its test
# between the others ran last.)
builds: $(addprefix build-,$(filter kernels $(KERNEL_BUILDS) $(KERNEL_BUILDS:%=%-ndk),$(PRESETS)) $(PRESETS))

clean:
	rm -rf build dist
