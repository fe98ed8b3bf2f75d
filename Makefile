# Thin wrapper over CMake: `make run` builds (Release) and starts the engine, `make test` builds and runs every test.
BUILD ?= build
SAN_BUILD ?= build-san
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
DEB_BUILD ?= build-deb
PGO_BUILD ?= build-pgo
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Extra CMake settings, e.g. CMAKE_FLAGS=-DQX_WERROR=ON (as CI builds).
CMAKE_FLAGS ?=

.PHONY: all build run test test-san test-tsan fuzz bench clean deps install uninstall deb pgo

all: build

deps:
	./scripts/install-deps

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quintarex

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-san:
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) -LE 'nosan|gui'

test-tsan:
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_TSAN=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS) -L threads

# Every fuzz target for FUZZ_SECONDS each, starting from its seed corpus; fails on any finding.
fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQX_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	./scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The same programs in $(PGO_BUILD), profile-guided: trained on the benchmarks, a few per cent faster.
pgo:
	CMAKE_FLAGS="$(CMAKE_FLAGS)" ./scripts/pgo-build $(PGO_BUILD) $(JOBS)

bench: build
	./$(BUILD)/quintarex-tool bench perft

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(DEB_BUILD) $(PGO_BUILD)

# build/quintarex_<version>_<arch>.deb: a portable build of its own (on x86-64 the programs for three
# instruction-set levels and the launcher that picks one), packed by scripts/make-deb.
CPU_LEVELS := $(if $(filter x86_64,$(shell uname -m)),ON,OFF)
deb:
	cmake -S . -B $(DEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DQX_NATIVE=OFF -DQX_CPU_LEVELS=$(CPU_LEVELS) \
	    -DBUILD_TESTING=OFF -DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,now $(CMAKE_FLAGS) >/dev/null
	cmake --build $(DEB_BUILD) -j $(JOBS)
	./scripts/make-deb $(DEB_BUILD) $(BUILD)

PLUGINS = $(DESTDIR)$(PREFIX)/share/games/plugins

# The engine and the tool under bin/, the man pages, the sample settings file, and the plugin file
# and logo through which xboard lists the engine.
install: build
	install -d $(DESTDIR)$(PREFIX)/bin $(DESTDIR)$(PREFIX)/share/man/man6 $(DESTDIR)$(PREFIX)/share/doc/quintarex \
	    $(PLUGINS)/xboard $(PLUGINS)/logos
	install -m 755 $(BUILD)/quintarex $(BUILD)/quintarex-tool $(DESTDIR)$(PREFIX)/bin/
	install -m 644 docs/quintarex.6 docs/quintarex-tool.6 $(DESTDIR)$(PREFIX)/share/man/man6/
	install -m 644 quintarex.ini $(DESTDIR)$(PREFIX)/share/doc/quintarex/
	install -m 644 packaging/quintarex.eng $(PLUGINS)/xboard/
	./scripts/make-logo $(BUILD)/quintarex.png
	install -m 644 $(BUILD)/quintarex.png $(PLUGINS)/logos/

uninstall:
	rm -f $(DESTDIR)$(PREFIX)/bin/quintarex $(DESTDIR)$(PREFIX)/bin/quintarex-tool
	rm -f $(DESTDIR)$(PREFIX)/share/man/man6/quintarex.6 $(DESTDIR)$(PREFIX)/share/man/man6/quintarex-tool.6
	rm -f $(DESTDIR)$(PREFIX)/share/doc/quintarex/quintarex.ini
	rm -f $(PLUGINS)/xboard/quintarex.eng $(PLUGINS)/logos/quintarex.png
	-rmdir $(DESTDIR)$(PREFIX)/share/doc/quintarex
	-rmdir --ignore-fail-on-non-empty $(PLUGINS)/xboard $(PLUGINS)/logos $(PLUGINS) $(DESTDIR)$(PREFIX)/share/games
