#pragma once
// One radiosonde ascent: station, BUFR options and code tables, the operator's
// metadata, the profile and the rejection marks. A subclass per family of
// sounding systems knows where its result files lie and how to read them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "base/DateTime.h"
#include "base/Operator.h"
#include "base/Text.h"
#include "sounding/Records.h"

namespace tern {

class TUAMessage {
 public:
  TUAMessage();
  virtual ~TUAMessage() = default;
  TUAMessage(const TUAMessage&) = delete;
  TUAMessage& operator=(const TUAMessage&) = delete;

  // --- family operations -------------------------------------------------
  virtual bool LoadData() = 0;
  virtual std::string GetSystemTitle() const { return SystemCodes.Title; }
  virtual std::string GetOpenFilter(TDateTime date) = 0;
  virtual void Clear(bool full);
  // Accepts the family's main result file; rsType receives the radiosonde type (255 unknown).
  virtual bool OpenAscent(const std::string& fileName, uint8_t& rsType) = 0;
  virtual bool GetTelegramFile(int part, std::string& path) = 0;
  virtual bool GetLayerFile(std::string& path) = 0;
  virtual bool GetGroundFile(std::string& path) = 0;
  virtual std::string GetAscentFileName(TDateTime dt) = 0;
  virtual void FindSourceFolder(const std::string& settingsFile, bool& found, std::string& folder, TDateTime date) = 0;
  virtual bool SetRadiosondeType(uint8_t code);
  virtual uint8_t GetRsCode(uint8_t index) const;

  // --- configuration (station, code tables, heading options) -------------
  bool LoadStation(const std::string& folder, uint8_t systemCode);
  bool LoadBufrCodes(const std::string& codesFile);
  bool LoadBufrOptions(const std::string& settingsFile);

  // --- code lists and metadata --------------------------------------------
  void FillRaRaList(TextList& list) const;
  bool SelectRadiosonde(int index);
  void FillBalloonList(TextList& list) const;
  bool SelectBalloon(int index);
  void FillGasList(TextList& list) const;
  bool SelectGas(int index);
  void FillTerminationList(TextList& list) const;
  bool SelectTermination(int index);
  void SetSondeSerial(const std::string& text);
  void SetAscentNo(uint16_t n) { Meta.AscentNo = n; }
  void SetReleasePoint(uint16_t n) { Meta.ReleasePoint = n; }
  void SetObserver(const std::string& text);
  void SetTrainLength(double m) { Meta.TrainLength = m; }
  void SetGasAmount(double kg) { Meta.GasAmount = kg; }
  void SetBufrI(bool flag) { BufrI = flag; }
  void SetUpdateSeq(uint16_t n) { UpdateSeq = n; }
  void SetBulletinNo(int n);
  void SetLayerShiftOn(bool flag) { LayerShiftOn = flag; }
  void SetLayerShift(double days) { LayerShift = days; }
  std::string Build61616(int index) const;
  void CheckCloudGroup();

  // --- BUFR output ---------------------------------------------------------
  void BuildHeading(const std::string& bbb);
  void ExpandHeading(const std::string& templ, const std::string& bbb, std::string& text) const;
  void MakeBufrFileName();
  bool EncodeBufr();

  // --- levels ---------------------------------------------------------------
  bool LevelIncluded(int i) const;
  bool WindUsable(int i) const;
  bool HeightUsable(int i) const;
  bool ShearIncludedAt(int i) const;
  void PrepareLevels();
  bool SetRejections(const tFlagRejArr* levelMasks, const tFlagRejArr* shearMasks);
  bool SaveEdits();
  bool LoadEdits(const std::string& fileName);
  // Level edit file of the current message kind (".rjI" / ".rjII").
  std::string EditFileName() const;

  // Questions and messages of this ascent go to the operator through this.
  void SetOperator(IOperator* op) { Operator = op; }
  IOperator& Op() const;

  // --- fields, in declaration order ------------------------------------------
  uint16_t SystemSet = 0;  // bit n set: system code n accepted
  uint8_t SystemCode = 0;
  bool Single = true;
  uint8_t ExtMeta = 0;
  uint8_t TablesVer = 25;
  uint8_t LocTablesVer = 0;
  uint16_t Center = 0;
  uint16_t SubCenter = 255;
  uint16_t UpdateSeq = 0;
  int32_t CnfVer = 0;
  bool ShortName = false;
  bool WMOMssgFmt = false;
  std::string CCCC;
  std::string IUKHead;
  std::string IUSHead;
  std::string Heading;
  std::string BBBHead, BBBTail;
  std::string BulletinNo;
  double StationLat = 0, StationLon = 0;
  double StationBarometerHeight = 0, StationGroundHeight = 0, StationRSReleaseHeight = 0;
  uint32_t StationInd = 0;
  std::string StationIndText;
  bool LayerShiftOn = false;
  tGSSystemCodes SystemCodes;
  tBalloonCodesArray BalloonCodes;
  tGasCodesArray GasCodes;
  tTerminationCodesArray TerminationCodes;
  tAscentMeta Meta;
  std::string CloudGroup;
  bool CloudGroupInvalid = true;
  uint16_t LaunchYear = 0, LaunchMonth = 0, LaunchDay = 0, LaunchHour = 0, LaunchMinute = 0, LaunchSecond = 0;
  TDateTime LaunchTime = 0;
  TDateTime ObsTime = 0;
  TDateTime LayerTime = 0;
  double LayerShift = 0;
  bool BufrI = true;
  int32_t LastWindLevel = -1;
  int32_t LastLevel = -1;
  uint16_t LevelCount = 0;
  uint16_t IncludedCount = 0;
  std::array<tUALevel, kMaxLevels> Levels{};
  uint16_t ShearCount = 0;
  uint16_t ShearIncluded = 0;
  std::array<tUAWindShear, kMaxShears> Shears{};
  std::string SourceFile;
  std::string SourceName;
  std::string BufrFileName;

 protected:
  IOperator* Operator = nullptr;
  // Caption of a reader's question: "Запрос " and the ascent's file path.
  std::string QueryTitle() const;
  bool Accepts(uint8_t code) const { return code < 16 && (SystemSet >> code) & 1; }
};

// The level inclusion test for a given rejection mask: whole-level rejection
// excludes, no rejection includes, otherwise the first quantity not rejected
// (T, Td, H, wind, position) decides by being present.
bool LevelPassesWithMask(const tUALevel& level, uint8_t mask);

// Copies at most n bytes of text (the fixed-width fields of the metadata).
std::string FirstChars(const std::string& text, size_t n);

}  // namespace tern
