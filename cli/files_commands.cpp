// kt9 show and kt9 convert: backup files without a pedal.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/field_table.h"
#include "backup/file_io.h"
#include "backup/layout_conversion.h"
#include "cli/commands.h"

namespace kt9::cli {

namespace {

// Names come from the file as raw bytes; control bytes would drive the
// terminal instead of showing, so they are shown as '?'.
std::string Printable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = '?';
  }
  return out;
}

// The file's records, or a message on standard error and nothing.
std::optional<BackupContents> LoadBackup(const std::string& path) {
  std::string error;
  const auto text = ReadWholeFile(path, &error);
  if (!text) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return std::nullopt;
  }
  auto contents = ReadBackupText(*text);
  if (contents) return contents;
  if (text->find("<KT-9>") == std::string::npos) {
    std::fprintf(stderr, "%s is not a KT-9 Backup file: it has no <KT-9> element.\n", path.c_str());
  } else {
    uint8_t marker[2] = {};
    ReadWordElement(*text, "sysconfig_id", marker, 0);
    std::fprintf(stderr,
                 "%s is not a KT-9 Backup file this program can read: its sysconfig_id is %u, "
                 "where 1000 (legacy layout) or 2000 (extended layout) is expected.\n",
                 path.c_str(), static_cast<unsigned>(ReadU16(marker, 0)));
  }
  return std::nullopt;
}

void PrintNumber(const BackupContents& contents, std::string_view path) {
  const auto field = LocateField(SystemRecordType(), contents.layout, path);
  if (!field) return;
  const unsigned value = field->kind == FieldKind::Word ? ReadU16(contents.system, field->offset)
                                                        : ReadU8(contents.system, field->offset);
  std::printf("  %-16.*s %u\n", static_cast<int>(path.size()), path.data(), value);
}

void Show(const std::string& path, CliContext& ctx) {
  const auto contents = LoadBackup(path);
  if (!contents) {
    ctx.exitCode = kExitFailure;
    return;
  }
  std::printf("%s: KT-9 Backup, %s layout\n", path.c_str(), LayoutName(contents->layout));
  std::printf("System settings:\n");
  for (std::string_view field : {"act_patch_no", "bMainMode", "backlight", "contrast", "input_sel", "guitars",
                                 "sys_m_in_ch", "sys_m_out_ch", "sys_inp_set0", "sys_inp_set1", "sys_inp_set2"}) {
    PrintNumber(*contents, field);
  }
  if (contents->layout == RecordLayout::Extended) {
    std::printf("Input settings:\n");
    for (int k = 0; k < 10; ++k) {
      const auto name = LocateField(SystemRecordType(), contents->layout, "GK_SET_VEC/" + std::to_string(k) + "/name");
      std::printf("  %2d  %s\n", k + 1, Printable(ReadText(contents->system, name->offset, name->size)).c_str());
    }
  }
  std::printf("Patches: %zu%s\n", contents->patches.size(),
              contents->patches.size() > kPatchSlots ? " (more than the pedal's 99 slots)" : "");
  for (std::size_t i = 0; i < contents->patches.size(); ++i) {
    const std::string_view name = ReadText(contents->patches[i], kPatchNameOffset, kPatchNameSize);
    std::printf("  %2zu  %s\n", i + 1, Printable(name).c_str());
  }
}

void Convert(const std::string& target, const std::string& in, const std::string& out, CliContext& ctx) {
  auto contents = LoadBackup(in);
  if (!contents) {
    ctx.exitCode = kExitFailure;
    return;
  }
  const RecordLayout to = target == "extended" ? RecordLayout::Extended : RecordLayout::Legacy;
  const RecordLayout from = contents->layout;
  if (from != to) {
    if (to == RecordLayout::Extended) {
      contents->system = SystemToExtended(contents->system);
      contents->patches = PatchListToExtended(contents->patches);
    } else {
      contents->system = SystemToLegacy(contents->system);
      contents->patches = PatchListToLegacy(contents->patches);
    }
  }
  std::string text;
  WriteBackupText(to, contents->system, contents->patches, text);
  std::string error;
  if (!WriteFileAtomically(out, text, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    ctx.exitCode = kExitFailure;
    return;
  }
  std::printf("%s: %s layout, %zu patches (%s)\n", out.c_str(), LayoutName(to), contents->patches.size(),
              from == to ? "the file was in this layout already" : (std::string("converted from the ") +
                                                                     LayoutName(from) + " layout").c_str());
}

}  // namespace

void AddFileCommands(CLI::App& app, CliContext& ctx) {
  auto* show = app.add_subcommand("show", "Show the layout, system settings and patch names of a backup file");
  // The options' storage lives in the callbacks, as long as the app.
  auto showPath = std::make_shared<std::string>();
  show->add_option("FILE", *showPath, "KT-9 Backup file (*.kt9)")->required();
  show->callback([showPath, &ctx] { Show(*showPath, ctx); });

  struct ConvertOptions {
    std::string to, in, out;
  };
  auto options = std::make_shared<ConvertOptions>();
  auto* convert = app.add_subcommand("convert", "Write a backup file in the other firmware generation's layout");
  convert->add_option("--to", options->to, "Layout of the new file")
      ->required()
      ->check(CLI::IsMember({"legacy", "extended"}));
  convert->add_option("IN", options->in, "KT-9 Backup file to read")->required();
  convert->add_option("OUT", options->out, "KT-9 Backup file to write (replaced completely or not at all)")
      ->required();
  convert->callback([options, &ctx] { Convert(options->to, options->in, options->out, ctx); });
}

}  // namespace kt9::cli
