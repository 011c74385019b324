#include "store/crypto.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store_test_rows.h"

namespace missivo {
namespace {

using test::Hex;
using test::ToHex;

const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

std::span<const std::uint8_t> Span(const std::string& s) {
  return {Bytes(s), s.size()};
}

std::string DigestText(const Sha512Digest& digest) {
  return ToHex(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

// FIPS 180-2 examples and the usual long-message vector.
TEST(Sha512Test, PublishedVectors) {
  const struct {
    const char* name;
    std::string message;
    const char* digest;
  } cases[] = {
      {"empty", "",
       "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE"
       "47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E"},
      {"abc", "abc",
       "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
       "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "204A8FC6DDA82F0A0CED7BEB8E08A41657C16EF468B228A8279BE331A703C335"
       "96FD15C13B1B07F9AA1D3BEA57789CA031AD85C7A71DD70354EC631238CA3445"},
      {"896 bits, two blocks",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
       "lmnopqrsmnopqrstnopqrstu",
       "8E959B75DAE313DA8CF4F72814FC143F8F7779C6EB9F7FA17299AEADB6889018"
       "501D289E4900F7E4331B99DEC4B5433AC7D329EEB6DD26545E96E55B874BE909"},
      {"one million a", std::string(1000000, 'a'),
       "E718483D0CE769644E2E42C7BC15B4638E1F98B13B2044285632A803AFA973EB"
       "DE0FF244877EA60A4CB0432CE577C31BEB009C5C2C49AA2E4EADB217AD8CC09B"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DigestText(Sha512(c.message)), c.digest) << c.name;
  }
  // Fed in parts, as the key derivation feeds salt and passphrase.
  const std::string a = "ab", b = "c";
  EXPECT_EQ(DigestText(Sha512({Span(a), Span(b)})), cases[1].digest);
}

// Eric Young's ECB vectors as published with the cipher (key, clear, cipher).
TEST(BlowfishTest, PublishedEcbVectors) {
  const char* const cases[][3] = {
      {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
      {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
      {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
      {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
      {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
      {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
      {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
      {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
      {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
      {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
      {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
      {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
      {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
      {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
      {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
      {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
      {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
      {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
      {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
      {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
      {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
      {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
      {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
      {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
      {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
      {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
      {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
      {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
      {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
      {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
      {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
      {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
      {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
  };
  for (const auto& c : cases) {
    const Blowfish cipher(Span(Hex(c[0])));
    const std::string clear = Hex(c[1]);
    std::string block(8, '\0');
    cipher.Encrypt(Bytes(clear), reinterpret_cast<std::uint8_t*>(block.data()), 8);
    EXPECT_EQ(ToHex(block), c[2]) << "key " << c[0];
    cipher.Decrypt(Bytes(block), reinterpret_cast<std::uint8_t*>(block.data()), 8);
    EXPECT_EQ(ToHex(block), c[1]) << "key " << c[0];
  }
}

// The variable key length vectors, up to the 56-byte keys the container uses
// (the published table goes to 24 bytes).
TEST(BlowfishTest, PublishedKeyLengthVectors) {
  const std::string key = Hex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
  const std::string clear = Hex("FEDCBA9876543210");
  const char* const expected[] = {
      "E87A244E2CC85E82", "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6",
      "9409DA87A90F6BF2", "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F",
      "93142887EE3BE15C", "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8",
      "10851C0E3858DA9F", "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD",
      "05044B62FA52D080",
  };
  for (std::size_t length = 8; length <= 24; ++length) {
    const Blowfish cipher(Span(key).first(length));
    std::string block(8, '\0');
    cipher.Encrypt(Bytes(clear), reinterpret_cast<std::uint8_t*>(block.data()), 8);
    EXPECT_EQ(ToHex(block), expected[length - 8]) << length << "-byte key";
  }
}

// The published chaining vector (key 0123456789ABCDEFF0E1D2C3B4A59687, IV
// FEDCBA9876543210, "7654321 Now is the time for " and its NUL): the full
// blocks are plain block chaining; the 5-byte tail is XORed with E(C3).
TEST(CipherChainTest, FullBlocksMatchThePublishedChainingVector) {
  const Blowfish cipher(Span(Hex("0123456789ABCDEFF0E1D2C3B4A59687")));
  const std::string iv = Hex("FEDCBA9876543210");
  const std::string clear = Hex("37363534333231204E6F77206973207468652074696D6520666F722000");
  const std::string published_cbc =
      "6B77B4D63006DEE605B156E27403979358DEB9E7154616D9";  // the first three blocks

  std::string data = clear;
  auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
  {
    CipherChain chain(cipher, Bytes(iv));
    chain.Encrypt(bytes, data.size());
  }
  EXPECT_EQ(ToHex(data.substr(0, 24)), published_cbc);
  std::string stream(8, '\0');
  cipher.Encrypt(bytes + 16, reinterpret_cast<std::uint8_t*>(stream.data()), 8);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(data[24 + i], static_cast<char>(clear[24 + i] ^ stream[i])) << "tail byte " << i;
  }
  {
    CipherChain chain(cipher, Bytes(iv));
    chain.Decrypt(bytes, data.size());
  }
  EXPECT_EQ(data, clear);
}

// Pieces of whole blocks give the same output as one call.
TEST(CipherChainTest, PiecesDoNotChangeTheOutput) {
  const Blowfish cipher(Span(std::string(56, 'k')));
  const std::string iv(8, 'v');
  std::string whole(8192 * 2 + 13, '\0');
  for (std::size_t i = 0; i < whole.size(); ++i)
    whole[i] = static_cast<char>(i * 7);
  std::string pieces = whole;
  {
    CipherChain chain(cipher, Bytes(iv));
    chain.Encrypt(reinterpret_cast<std::uint8_t*>(whole.data()), whole.size());
  }
  {
    CipherChain chain(cipher, Bytes(iv));
    auto* bytes = reinterpret_cast<std::uint8_t*>(pieces.data());
    chain.Encrypt(bytes, 8192);
    chain.Encrypt(bytes + 8192, 8192);
    chain.Encrypt(bytes + 16384, 13);
  }
  EXPECT_EQ(whole, pieces);
}

}  // namespace
}  // namespace missivo
