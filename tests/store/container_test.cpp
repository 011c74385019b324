#include "store/container.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "store/crypto.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::W;
using test::WriteBytes;

std::string Content(std::size_t size) {
  std::string content(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    content[i] = static_cast<char>(i * 31 + 7);
  return content;
}

// Opens a container with a key made here from its salt: the first 56 bytes of
// SHA-512(salt || passphrase), then the chain from its IV.
std::string OpenByHand(const std::string& container, const std::string& passphrase) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(container.data());
  const Sha512Digest digest = Sha512(container.substr(0, 8) + passphrase);
  const Blowfish cipher(std::span(digest.data(), 56));
  std::string content = container.substr(16);
  CipherChain chain(cipher, bytes + 8);
  chain.Decrypt(reinterpret_cast<std::uint8_t*>(content.data()), content.size());
  return content;
}

TEST(ContainerTest, LayoutKeyAndChainingForEveryShape) {
  // 0 bytes, tail only (1-7), whole blocks, blocks and a tail, and sizes
  // around the 8192-byte pieces of the file operations, and runs of a
  // megabyte and more, which are opened in two halves at once.
  for (const std::size_t size : {0, 1, 5, 7, 8, 9, 16, 8 * 3 + 5, 8191, 8192, 8193, 20000,
                                 (1 << 20) - 3, 1 << 20, (1 << 20) + 8 * 3 + 5, (3 << 20) + 4104}) {
    const std::string content = Content(size);
    const std::string container = SealBytes(content, kFixedPassphrase);
    ASSERT_EQ(container.size(), size + 16) << size;
    EXPECT_EQ(OpenByHand(container, "3861209"), content) << size;
    const Result<std::string> opened = UnsealBytes(container, kFixedPassphrase);
    ASSERT_TRUE(opened.ok()) << size;
    EXPECT_EQ(opened.value(), content) << size;
  }
}

TEST(ContainerTest, ShortContentIsTheTailRuleAloneWithTheEncryptedIv) {
  const std::string content = "abcdefg";
  const std::string container = SealBytes(content, "pass");
  const Sha512Digest digest = Sha512(container.substr(0, 8) + "pass");
  const Blowfish cipher(std::span(digest.data(), 56));
  std::string stream(8, '\0');
  cipher.Encrypt(reinterpret_cast<const std::uint8_t*>(container.data() + 8),
                 reinterpret_cast<std::uint8_t*>(stream.data()), 8);
  for (std::size_t i = 0; i < content.size(); ++i) {
    EXPECT_EQ(container[16 + i], static_cast<char>(content[i] ^ stream[i])) << i;
  }
}

TEST(ContainerTest, EveryContainerHasItsOwnSaltAndIv) {
  const std::string content = Content(100);
  const std::string first = SealBytes(content, kFixedPassphrase);
  const std::string second = SealBytes(content, kFixedPassphrase);
  EXPECT_NE(first.substr(0, 8), second.substr(0, 8));
  EXPECT_NE(first.substr(8, 8), second.substr(8, 8));
  EXPECT_NE(first.substr(16), second.substr(16));
  EXPECT_EQ(UnsealBytes(first, kFixedPassphrase).value(), content);
  EXPECT_EQ(UnsealBytes(second, kFixedPassphrase).value(), content);
}

TEST(ContainerTest, WrongPassphraseGivesWrongBytesOfTheRightLength) {
  const std::string content = "LVF" + Content(40);
  const Result<std::string> opened = UnsealBytes(SealBytes(content, "right"), "wrong");
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(opened.value().size(), content.size());
  EXPECT_NE(opened.value().substr(0, 3), "LVF");
}

TEST(ContainerTest, PassphraseIsItsWindows1251Bytes) {
  const std::string password = W("Пароль");
  const std::string container = SealBytes("LVF", password);
  EXPECT_EQ(UnsealBytes(container, password).value(), "LVF");
  EXPECT_NE(UnsealBytes(container, "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C").value(),
            "LVF");  // the same word in UTF-8
  // An empty passphrase is valid: the digest covers the salt alone.
  EXPECT_EQ(UnsealBytes(SealBytes("LVF", ""), "").value(), "LVF");
}

TEST(ContainerTest, UnderSixteenBytesIsNoContainer) {
  const Result<std::string> opened = UnsealBytes(std::string(15, 'x'), kFixedPassphrase);
  ASSERT_FALSE(opened.ok());
  EXPECT_NE(opened.message().find("too short"), std::string::npos);
  EXPECT_EQ(UnsealBytes(std::string(16, 'x'), kFixedPassphrase).value(), "");

  TempFolder folder;
  const auto path = folder / "Messages.sms";
  WriteBytes(path, std::string(15, 'x'));
  for (const Status& status : {DecryptInPlace(path), DecryptInPlaceWith(path, "p"),
                               DecryptFile(path, folder / "out", kFixedPassphrase)}) {
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.message().find("Messages.sms"), std::string::npos) << status.message();
  }
  EXPECT_FALSE(UnsealFile(path, kFixedPassphrase).ok());
  EXPECT_EQ(ReadBytes(path), std::string(15, 'x'));
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));
}

TEST(ContainerTest, TwoLayersOpenOnlyOuterFirst) {
  const std::string content = "LVF" + Content(30);
  const std::string sealed = SealBytes(content, kFixedPassphrase);
  const std::string locked = SealBytes(sealed, "secret");
  EXPECT_EQ(locked.size(), content.size() + 32);
  EXPECT_NE(UnsealBytes(locked, kFixedPassphrase).value().substr(0, 3), "LVF");
  const Result<std::string> inner = UnsealBytes(locked, "secret");
  EXPECT_EQ(UnsealBytes(inner.value(), kFixedPassphrase).value(), content);
}

TEST(ContainerFileTest, FileOperationsStreamTheSameContainer) {
  TempFolder folder;
  const std::string content = Content(8192 * 2 + 3);
  WriteBytes(folder / "plain", content);
  ASSERT_TRUE(EncryptFile(folder / "plain", folder / "sealed", "pw").ok());
  const std::string sealed = ReadBytes(folder / "sealed");
  EXPECT_EQ(sealed.size(), content.size() + 16);
  EXPECT_EQ(UnsealBytes(sealed, "pw").value(), content);
  ASSERT_TRUE(DecryptFile(folder / "sealed", folder / "back", "pw").ok());
  EXPECT_EQ(ReadBytes(folder / "back"), content);

  struct stat info {};
  ASSERT_EQ(::stat((folder / "sealed").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ContainerFileTest, InPlaceOperationsReplaceTheFileAndLeaveNoSibling) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  const std::string content = "LVF" + Content(500);
  WriteBytes(path, content);

  ASSERT_TRUE(EncryptInPlace(path).ok());
  const std::string sealed = ReadBytes(path);
  EXPECT_EQ(UnsealBytes(sealed, kFixedPassphrase).value(), content);
  ASSERT_TRUE(EncryptInPlaceWith(path, "secret").ok());
  EXPECT_EQ(ReadBytes(path).size(), content.size() + 32);
  ASSERT_TRUE(DecryptInPlaceWith(path, "secret").ok());
  EXPECT_EQ(ReadBytes(path), sealed);
  ASSERT_TRUE(DecryptInPlace(path).ok());
  EXPECT_EQ(ReadBytes(path), content);

  // Only the data file is left: no sibling, no temporary file.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
}

TEST(ContainerFileTest, DecryptToSiblingLeavesTheFileUntouched) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  const std::string sealed = SealBytes(std::string("LVF\x00\x00", 5), kFixedPassphrase);
  WriteBytes(path, sealed);
  const Result<std::filesystem::path> sibling = DecryptToSibling(path, kFixedPassphrase);
  ASSERT_TRUE(sibling.ok());
  EXPECT_EQ(sibling.value(), folder / "Messages.smstmp");
  EXPECT_EQ(ReadBytes(sibling.value()), std::string("LVF\x00\x00", 5));
  EXPECT_EQ(ReadBytes(path), sealed);
  EXPECT_EQ(SiblingPath(sibling.value()), folder / "Messages.smstmptmp");
}

TEST(ContainerFileTest, MissingSourceIsReportedByName) {
  TempFolder folder;
  const Status status = EncryptInPlace(folder / "Phonebook.pbk");
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("Phonebook.pbk"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "Phonebook.pbk"));
}

}  // namespace
}  // namespace missivo
