# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# `make` builds and installs every deliverable for every target this machine
# can build, into dist/<target>/, and shows them working. `make test` runs
# every test preset: each target (natively or under qemu-user, with the static
# checks), the sanitizer build, and the fuzzers for a few seconds each.
# `make bench` prints the measurements, `make package` packs every target
# into dist/packages. The targets and test presets are those CMakePresets.json
# declares; CMake presets and scripts/ do the work.

.PHONY: all test bench package deps clean show run-tests measure pack
.SECONDARY:

# The lists are read from the presets when a recipe runs, once deps has
# installed CMake; an empty list is an error, not a build of nothing.
all: deps
	@t=$$(scripts/presets.sh targets) && [ -n "$$t" ] && $(MAKE) --no-print-directory show TARGETS="$$t"

test: deps
	@p=$$(scripts/presets.sh tests) && [ -n "$$p" ] && $(MAKE) --no-print-directory run-tests PRESETS="$$p"

# One table of measurements, each against its floor, taken in the same run.
bench: deps
	@t=$$(scripts/presets.sh targets) && [ -n "$$t" ] && $(MAKE) --no-print-directory measure TARGETS="$$t"

# Release packages of every target, and their checksums, in dist/packages.
package: deps
	@t=$$(scripts/presets.sh targets) && [ -n "$$t" ] && $(MAKE) --no-print-directory pack TARGETS="$$t"

show: $(TARGETS:%=install-%)
	@scripts/demo.sh $(TARGETS)

run-tests: $(PRESETS:%=test-%)

measure: $(TARGETS:%=build-%)
	@for t in $(TARGETS); do cmake --build --preset $$t --target c_hello >/dev/null || exit 1; done
	@bench/report.sh $(TARGETS)

pack: $(TARGETS:%=build-%)
	@rm -rf dist/packages
	@scripts/package.sh dist/packages $(TARGETS:%=build/%)
	@cd dist/packages && awk '{ print $$2 }' SHA256SUMS | xargs stat -c '%n: %s bytes'
	@cd dist/packages && sha256sum -c --quiet SHA256SUMS && echo "dist/packages/SHA256SUMS: every package verifies"

deps:
	@scripts/deps.sh

configure-%: deps
	@cmake --preset $* --log-level=WARNING >/dev/null

build-%: configure-%
	@cmake --build --preset $*

install-%: build-%
	@cmake --install build/$* >/dev/null

# The Android targets' suites are the host build's harnesses.
test-%: build-% build-host
	@ctest --preset $*

clean:
	rm -rf build dist
