#pragma once

class ByteChunk;
class IPluginBase;

// Preset (program) and bank files held in memory; the IPluginBase file operations only move
// whole files between disk and these. Host main thread, like a program change; no lock of
// their own (the state readers and writers take the plugin-in mutex). The caller owns `file`.

// Build a whole file into `file` (cleared first): the chunk layout when the plugin-in does
// state chunks, the parameter layout otherwise. False when the state could not be written.
bool MakeProgramFile(IPluginBase* plugin, ByteChunk* file);
bool MakeBankFile(IPluginBase* plugin, ByteChunk* file);

// Apply a whole file. False for a foreign, malformed or truncated file, and then the
// parameters and presets are as they were before the call.
bool LoadProgramFromChunk(IPluginBase* plugin, ByteChunk* file);
bool LoadBankFromChunk(IPluginBase* plugin, ByteChunk* file);
