# make run  - install what is missing, build everything, generate the assets, start the game
# make test - install what is missing, build everything, run every test
# make bench - build everything, run the frame-cost benchmarks and print their table, then the
#              ranking server's figures
# make install [PREFIX=...] [DESTDIR=...] - build everything, install the game under PREFIX
# make uninstall - remove what the last install put there
# make web - build the browser version into build-web/dist (a static folder any web server serves)
# make web-serve [WEB_PORT=...] - build it, then serve it on 127.0.0.1
# make windows - cross-compile the Windows build: build-windows/dist/ and plusrail-windows.zip
# make server - build the online ranking server, build/plusrail-server
# make serve-ranking [RANKING_PORT=...] - build it and run it on 127.0.0.1, its data in build/
# make dist - the packages to hand out, in build/dist: the .deb, the Windows and browser zips
BUILD ?= build
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)
# WERROR=ON: every compiler warning fails the build, as in CI
WERROR ?= OFF
PREFIX ?= /usr/local
# The version the Windows and browser programs say they are; empty: git describe's, when configured
PLUSRAIL_VERSION ?=
WEB_PORT ?= 8080
RANKING_PORT ?= 8090
# No "Entering directory" lines from a make called inside this one
MAKEFLAGS += --no-print-directory

.PHONY: all deps configure build run test bench install uninstall clean web web-serve windows dist \
	server-deps server serve-ranking

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUSRAIL_WERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

# The ranking server's suite runs against a PostgreSQL of its own, installed here.
test: server-deps build
	@cd $(BUILD) && ctest --progress --output-on-failure -j $(JOBS)

# The frame costs as ratios to one screen copy, each the median of several runs
bench: server-deps build
	@scripts/bench-table.sh $(BUILD)
	@if [ -x $(BUILD)/bench/server_bench ]; then \
		cd $(BUILD) && PLUSRAIL_BINARY_DIR=$$PWD ./bench/server_bench; fi

# DESTDIR, when set, reaches cmake through the environment and is put before PREFIX.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX) >/dev/null
	@echo "Installed under $(DESTDIR)$(PREFIX); start the game with $(PREFIX)/bin/plusrail"

# Removes every file the last install listed, under the same DESTDIR (the list leaves it out),
# and the game's two folders once they are empty. The tests install with a list of their own,
# so this one is still the last real install's after any number of `make test`.
uninstall:
	@[ -f $(BUILD)/install_manifest.txt ] || { echo "Nothing installed from $(BUILD)"; exit 1; }
	@sed 's|^|$(DESTDIR)|' $(BUILD)/install_manifest.txt | xargs -r -d '\n' rm -f --
	@sed -n 's|^\(.*/\)libexec/plusrail/plusrail$$|$(DESTDIR)\1libexec/plusrail\n$(DESTDIR)\1share/plusrail|p' \
		$(BUILD)/install_manifest.txt | while IFS= read -r dir; do \
		[ ! -d "$$dir" ] || find "$$dir" -depth -type d -empty -delete; done
	@echo "Removed the files listed in $(BUILD)/install_manifest.txt"

web:
	@JOBS=$(JOBS) WERROR=$(WERROR) PLUSRAIL_VERSION=$(PLUSRAIL_VERSION) scripts/build-web.sh $(BUILD) build-web

web-serve: web
	@echo "Serving build-web/dist at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops)"
	@python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build-web/dist

# The asset generator runs natively; its pictures, sounds and icon go into the Windows folder.
windows: configure
	@scripts/install-deps.sh --windows
	@cmake --build $(BUILD) -j $(JOBS) --target assets
	@$(BUILD)/plusrail-assetgen --icon $(BUILD)/plusrail.ico
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DPLUSRAIL_WERROR=$(WERROR) -DPLUSRAIL_VERSION=$(PLUSRAIL_VERSION) \
		-DPLUSRAIL_ASSET_DIR=$(abspath $(BUILD))/game -DPLUSRAIL_ICON=$(abspath $(BUILD))/plusrail.ico >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target plusrail plusrail-sim
	@cmake --build $(WINDOWS_BUILD) --target dist

# The Windows and browser builds first (each installs what it needs), then the packages; every
# program says the packages' version.
dist: PLUSRAIL_VERSION = $(shell bash -c '. scripts/lib/version.sh && dist_version')
dist: windows web
	@scripts/make-dist.sh $(BUILD) $(WINDOWS_BUILD) build-web

clean:
	@rm -rf $(BUILD) $(WINDOWS_BUILD) build-web build-deb

server-deps:
	@scripts/install-deps.sh --server

server: server-deps configure
	@cmake --build $(BUILD) -j $(JOBS) --target plusrail-server

# The server finds the page in server/ and the browser build at /play/ in build-web/dist, made
# by `make web` (slow: emscripten), without which only /play/ is missing.
serve-ranking: server
	@[ -d build-web/dist ] || echo "No browser build: /play/ (the Watch links) needs 'make web' first"
	@echo "Ranking data in $(BUILD)/ranking-data; Ctrl+C stops"
	@$(BUILD)/plusrail-server --listen 127.0.0.1:$(RANKING_PORT) --data $(BUILD)/ranking-data
