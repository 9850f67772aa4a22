# The everyday commands: `make run` and `make test`; `make fuzz` for the fuzzers,
# `make bench` for the benchmarks, `make package` for the Debian package,
# `make screenshots` for the README's pictures of the windows.
# Each installs what is missing (scripts/setup-deps.sh), configures and builds first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The suite's second run: AddressSanitizer (leaks included) and UBSan. -O1 keeps
# the instrumented build and its run short; -g1 is enough for the line numbers
# of a report. tests/lsan.supp names the one system library whose leak is known.
ASAN_BUILD ?= build-asan
ASAN_CMAKE_FLAGS ?= -DLUNEX_SANITIZE=ON -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g1"
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_init_order=1:check_initialization_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# libFuzzer targets, built with clang in their own tree; FUZZ_SECONDS per target.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = fuzz_datetext fuzz_listfile fuzz_singlevalue fuzz_calcnumber fuzz_logcsv fuzz_oal \
	fuzz_horizon fuzz_placefile fuzz_posixrule

.PHONY: deps configure build run test test-plain test-asan fuzz bench package screenshots clean

deps:
	@scripts/setup-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/lunex

test: test-plain test-asan

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) $(ASAN_CMAKE_FLAGS)
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz:
	@scripts/setup-deps.sh fuzz
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DLUNEX_FUZZ=ON \
		-DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g"
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Release build in its own directory; prints the table and writes bench/results.md.
bench:
	@scripts/setup-deps.sh bench
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DLUNEX_BENCH=ON -DBUILD_TESTING=OFF
	@cmake --build build-bench -j $(JOBS)
	bench/run.sh build-bench

# The README's pictures of the windows (docs/*.png), taken on a virtual X server.
screenshots: configure
	@cmake --build $(BUILD) -j $(JOBS) --target lunex-screenshots
	scripts/screenshots.sh $(BUILD) docs

# The Debian package in its own tree: Debian's build flags (hardening included),
# installed under /usr, stripped by CPack; then lintian and the desktop checks.
PACKAGE_BUILD ?= build-package
package:
	@scripts/setup-deps.sh package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all && \
		cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE= -DCMAKE_INSTALL_PREFIX=/usr \
		-DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" -DBUILD_TESTING=OFF
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@rm -f $(PACKAGE_BUILD)/lunex_*.deb
	@cd $(PACKAGE_BUILD) && cpack -G DEB
	packaging/check-package.sh $(PACKAGE_BUILD)/lunex_*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-bench $(PACKAGE_BUILD)
