#pragma once

namespace dravena {

// The product name: caption of both main windows and the section of every setting.
inline constexpr const char* ProductName = "Dravena Conversion Software";

// The maker: the application name under which the settings are stored.
inline constexpr const char* MakerName = "Velmora";

// The page where users reach the maker's support, named by the tables window's help.
inline constexpr const char* SupportPageAddress = "https://www.velmora.example/support/";

// The maker's home page, opened now and then at start-up.
inline constexpr const char* HomePageAddress = "https://www.velmora.example/";

} // namespace dravena
