# The newcomer's commands. See README.md.
#   make        build everything and lay out the installation folder build/blokpost/
#   make run    install what is missing, build, and start the program
#   make test   install what is missing, build with sanitizers, run every test
#   make bench  build in Release and run the benchmarks
#   make deb    build the Debian package build/blokpost_<version>_<arch>.deb
#   make deb-check  install that package, start it as an ordinary user under
#               Xvfb from its menu entry's command, and remove it (needs root)

GENERATOR := -G Ninja
MAIN      := build/main
ASAN      := build/asan
RELEASE   := build/release
DEB       := build/deb
INSTALL   := build/blokpost
WERROR    := $(if $(CI),-DBLOKPOST_WERROR=ON,)

.PHONY: all deps build layout run test bench screenshots clean deb deb-check

all: deps layout

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(MAIN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLOKPOST_TESTS=OFF -DBLOKPOST_BENCH=OFF $(WERROR) >/dev/null
	cmake --build $(MAIN)

layout: build
	@scripts/layout-installation.sh $(MAIN) $(INSTALL)

run: all
	@scripts/run.sh $(INSTALL)

test: deps
	@cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DBLOKPOST_SANITIZE=ON -DBLOKPOST_BENCH=OFF $(WERROR) >/dev/null
	cmake --build $(ASAN)
	cd $(ASAN) && ctest --output-on-failure --timeout 300 -j2 -LE emulated_usb
	@# The emulated board keeps real time, so its tests run one after another.
	cd $(ASAN) && ctest --output-on-failure --timeout 300 -L emulated_usb

bench: deps
	@cmake -S . -B $(RELEASE) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DBLOKPOST_TESTS=OFF >/dev/null
	cmake --build $(RELEASE)
	cd $(RELEASE) && QT_QPA_PLATFORM=offscreen ./bench/blokpost_bench
	cd $(RELEASE) && ./bench/blokpost_bench_table

clean:
	rm -rf $(MAIN) $(ASAN) $(RELEASE) $(DEB)

deb: deps
	@scripts/build-deb.sh . $(DEB) build

deb-check: deb
	@scripts/install-deps.sh xvfb xdotool tigervnc-standalone-server tigervnc-tools iproute2
	scripts/deb-check.sh build/blokpost_*.deb

# File-reader fuzzers (clang with libFuzzer). FUZZ_SECONDS per reader.
FUZZ         := build/fuzz
FUZZ_SECONDS ?= 60
FUZZERS      := fuzz_schedule fuzz_layout_store fuzz_pin_names fuzz_pin_addresses fuzz_timetable_book

.PHONY: fuzz
fuzz:
	@scripts/install-deps.sh clang libclang-rt-14-dev
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLOKPOST_SANITIZE=ON -DBLOKPOST_FUZZ=ON -DBLOKPOST_TESTS=OFF -DBLOKPOST_BENCH=OFF >/dev/null
	cmake --build $(FUZZ) --target $(FUZZERS)
	@scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

# 24 hours of layout time through the whole logic, under the sanitizers.
.PHONY: soak
soak: deps
	@cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DBLOKPOST_SANITIZE=ON -DBLOKPOST_BENCH=OFF >/dev/null
	cmake --build $(ASAN) --target blokpost_soak_run
	ASAN_OPTIONS=detect_leaks=0 $(ASAN)/soak/blokpost_soak_run

# Saves killed at random moments, KILL_ROUNDS times: every data file is
# checked after each kill and the next start (under the sanitizers).
KILL_ROUNDS ?= 400
.PHONY: kill-saves
kill-saves: deps
	@cmake -S . -B $(ASAN) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DBLOKPOST_SANITIZE=ON -DBLOKPOST_BENCH=OFF >/dev/null
	cmake --build $(ASAN) --target blokpost_kill_loop blokpost_save_once
	ASAN_OPTIONS=detect_leaks=0 $(ASAN)/tests/blokpost_kill_loop $(ASAN)/tests/blokpost_save_once $(KILL_ROUNDS)

# The demo hands-free: 24 hours of layout time per schedule variant, trains
# driving themselves on the simulated board, every check after every tick.
.PHONY: handsfree
handsfree: deps
	@cmake -S . -B $(RELEASE) $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DBLOKPOST_TESTS=OFF >/dev/null
	cmake --build $(RELEASE) --target blokpost_handsfree_run
	$(RELEASE)/soak/blokpost_handsfree_run

# Every window Form1..Form20 rendered offscreen into build/screenshots/*.png.
SCREENSHOTS := build/screenshots

screenshots: deps
	@cmake -S . -B $(MAIN) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBLOKPOST_TESTS=OFF -DBLOKPOST_BENCH=OFF $(WERROR) >/dev/null
	cmake --build $(MAIN) --target blokpost-screenshots
	QT_QPA_PLATFORM=offscreen $(MAIN)/tools/blokpost-screenshots $(SCREENSHOTS)
