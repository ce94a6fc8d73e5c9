#pragma once

// Runs the USB benchmark (the own driver against the emulated K8055) under
// umockdev's preload library and prints its rows of the table.
void printEmulatedUsbRows();
