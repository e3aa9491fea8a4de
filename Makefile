# Two commands for a fresh Debian or Ubuntu machine:
#   make run    installs what is missing, builds and starts the game
#   make test   installs what is missing, builds and runs the test suites
#   make install / make uninstall   the game for this user, no root needed
#   make package   the update archive, signed when PAIRWELL_SIGNING_KEY names a minisign key
#
# BUILD_DIR and BUILD_TYPE may be overridden on the command line.

BUILD_DIR  ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)

PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-tools-dev qt6-tools-dev-tools \
            qt6-l10n-tools libgl-dev xvfb xauth xdotool imagemagick zip unzip \
            fonts-dejavu-core fonts-ipafont-gothic desktop-file-utils appstream \
            minisign libsodium-dev dbus-daemon at-spi2-core python3-pyatspi \
            patchelf qt6-translations-l10n

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run test bench install uninstall package clean

all: build

# Installs only the packages that dpkg does not already know as installed.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/pairwell

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# ~/Applications/Pairwell.app, the copy the update replaces, and the desktop entry that starts
# it, with its icons and metadata, in $XDG_DATA_HOME (~/.local/share).
install: build
	cmake --install $(BUILD_DIR) --component user_install

# Removes exactly what install put there; the player's sets and settings stay.
uninstall:
	@case "$$XDG_DATA_HOME" in /*) data="$$XDG_DATA_HOME" ;; *) data="$$HOME/.local/share" ;; esac; \
	apps="$$HOME/Applications"; [ "$$(uname)" != Darwin ] || apps=/Applications; \
	set -x; rm -rf "$$apps/Pairwell.app"; \
	rm -f "$$data/applications/com.tallowen.Pairwell.desktop" \
	      "$$data/metainfo/com.tallowen.Pairwell.metainfo.xml"; \
	for size in 64 128 256; do rm -f "$$data/icons/hicolor/$${size}x$${size}/apps/com.tallowen.Pairwell.png"; done

# A signature left from an earlier archive must never sit beside a new one.
package: build
	rm -f $(BUILD_DIR)/pairwell.zip.minisig
	cmake --build $(BUILD_DIR) --target package
	@if [ -n "$(PAIRWELL_SIGNING_KEY)" ]; then \
	    echo "Signing with $(PAIRWELL_SIGNING_KEY)"; \
	    minisign -S -s "$(PAIRWELL_SIGNING_KEY)" -m $(BUILD_DIR)/pairwell.zip \
	        -x $(BUILD_DIR)/pairwell.zip.minisig; \
	fi

clean:
	rm -rf $(BUILD_DIR)
