// The bundle of platform services a feature receives; the real and the fake platform fill it.
#pragma once

#include "platform/audio_output.h"
#include "platform/clipboard.h"
#include "platform/dispatcher.h"
#include "platform/file_dialog.h"
#include "platform/file_system.h"
#include "platform/hotkeys.h"
#include "platform/http_reader.h"
#include "platform/keyboard.h"
#include "platform/media_player.h"
#include "platform/process_launcher.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/signature_checker.h"
#include "platform/text_codec.h"
#include "platform/transfer.h"
#include "platform/ui_host.h"
#include "platform/wave_input.h"
#include "platform/worker_threads.h"

namespace zv {

struct Platform {
  IUiHost& ui;
  IShell& shell;
  IFileSystem& files;
  IDispatcher& dispatcher;
  IHttpReader& http;
  ITransferService& transfer;
  IProcessLauncher& processes;
  IResources& resources;
  IAudioOutput& audio;
  IMediaPlayer& media;
  IFileDialog& fileDialog;
  IHotkeys& hotkeys;
  IKeyboard& keyboard;
  IClipboard& clipboard;
  IWaveInput& waveIn;
  IWorkerThreads& workers;
  ITextCodec& text;
  ISignatureChecker& signatures;
};

}  // namespace zv
