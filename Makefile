# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# `make` builds and installs every deliverable for every target this machine
# can build, into dist/<target>/, and shows them working; `make test` runs
# every test preset. `make bench`, `make package`, `make shell KERNEL=NAME`
# and `make clean` likewise: ./kit, the driver, does the work (its first
# lines say how), and `make test PRESETS=NAME...` tests those builds alone.

.PHONY: all test bench package shell clean

all:
	@./kit build

test:
	@./kit test $(PRESETS)

bench:
	@./kit bench

package:
	@./kit package

shell:
	@./kit shell "$(KERNEL)"

clean:
	@./kit clean
