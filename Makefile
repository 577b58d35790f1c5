# Top-level wrapper: every target installs what it needs first, so a fresh clone works.
JOBS ?= $(shell nproc)
GEN := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
CMAKE_RELEASE = cmake -S . -B build $(GEN) -DCMAKE_BUILD_TYPE=Release
CMAKE_ASAN = cmake -S . -B build-asan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKAVEX_SANITIZE=ON -DKAVEX_WITH_QT=OFF
CMAKE_TSAN = cmake -S . -B build-tsan $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKAVEX_TSAN=ON -DKAVEX_WITH_QT=OFF
CTEST = ctest --output-on-failure -j $(JOBS)
PREFIX ?= /usr/local

.PHONY: all deps build install package test test-release test-asan test-tsan demo bench fuzz screenshot clean format format-check layers-check

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@$(CMAKE_RELEASE) >/dev/null
	@cmake --build build -j $(JOBS)

# make install PREFIX=/opt/kavex DESTDIR=/tmp/stage; cmake --install takes DESTDIR from the environment.
install: build
	@DESTDIR=$(DESTDIR) cmake --install build --prefix $(PREFIX)

# Writes build/kavex_<version>_<arch>.deb.
package: build
	@cd build && cpack -G DEB

test-release: build
	@cd build && $(CTEST)

test-asan: deps
	@$(CMAKE_ASAN) >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST) -E '^Qt'

# Only the threaded parts run under ThreadSanitizer; the rest is single-threaded.
test-tsan: deps
	@$(CMAKE_TSAN) >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target test_base test_engine
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1 $(CTEST) -R 'Thread|Notify|Terminate'

test: format-check layers-check test-release test-asan test-tsan

format: deps
	@bash scripts/check-format.sh --fix

format-check: deps
	@bash scripts/check-format.sh

layers-check:
	@bash scripts/check-layers.sh

demo: build
	@bash scripts/demo.sh

bench: build
	@bash bench/run.sh

fuzz: deps
	@bash fuzz/run.sh

screenshot: build
	@bash scripts/screenshot.sh

clean:
	rm -rf build build-asan build-tsan build-fuzz
